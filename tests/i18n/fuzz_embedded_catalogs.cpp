// Reading the chain of embedded-catalog records from an arbitrary executable file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "gnugettext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  uint64_t table;
  std::memcpy(&table, data, 8);
  const int fd = memfd_create("executable", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (write(fd, data + 8, size - 8) == ssize_t(size - 8)) {
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const TAssemblyAnalyzer analyzer(path, table % (size + 16));
    analyzer.FindByPath("/proc/self/fd/locale/de/LC_MESSAGES/default.mo");
  }
  close(fd);
  return 0;
}
