// Any bytes either are refused as a key file or read back the same after being written out,
// also after a text value made of them is set.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ComStore.h"
#include "KeyDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  try {
    TKeyDocument Doc(Text, "fuzz.reg");
    const std::string Once = Doc.Text();
    if (TKeyDocument(Once, "fuzz.reg").Text() != Once) std::abort();
    TKeyDocument::TValue V;
    V.Name = Text.substr(0, Size / 2);
    V.Text = Text.substr(Size / 2);
    Doc.Set(V);
    const TKeyDocument Reread(Doc.Text(), "fuzz.reg");
    const TKeyDocument::TValue* Back = Reread.Find(V.Name);
    if (!Back || Back->Kind != TKeyDocument::vkText || Back->Text != V.Text) std::abort();
  } catch (const ERegistryException&) {
  }
  return 0;
}
