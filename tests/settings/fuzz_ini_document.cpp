// Any bytes either are refused as an ini file or read back the same after being written out,
// also after a value is set.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ComStore.h"
#include "IniDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  try {
    TIniDocument Doc(Text, "fuzz.ini");
    const std::string Once = Doc.Text();
    if (TIniDocument(Once, "fuzz.ini").Text() != Once) std::abort();
    const std::string Value = Text.substr(0, Size % 7);
    try {
      Doc.Set("ComPort1", "BaudRate", Value);
    } catch (const EIniFileException&) {
      return 0;  // a value with a line break
    }
    std::string Back;
    if (!TIniDocument(Doc.Text(), "fuzz.ini").Find("comport1", "baudrate", Back) || Back != Value) std::abort();
  } catch (const EIniFileException&) {
  }
  return 0;
}
