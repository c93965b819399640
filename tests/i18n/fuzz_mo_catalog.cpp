// Catalog reader on arbitrary bytes: truncated files, lying offsets and lengths, huge counts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "gnugettext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMoCatalog catalog;
  if (!catalog.Attach(data, size)) return 0;
  for (const char* text : {"", "a", "b", "bb", "c", "Unable to open com port", "\xff\xff"})
    catalog.Find(text);
  // Texts taken from the input itself, so that the search can also end in a hit.
  for (size_t at = 28; at + 1 < size && at < 28 + 64 * 8; at += 8) {
    const size_t length = data[at] % 16;
    if (at + 1 + length <= size) {
      const auto found = catalog.Find(std::string(reinterpret_cast<const char*>(data + at + 1), length));
      if (found && !found->empty()) {
        volatile char last = found->back();
        (void)last;
      }
    }
  }
  return 0;
}
