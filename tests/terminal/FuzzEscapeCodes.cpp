// Feeds arbitrary bytes to both parsers. Beyond sanitizer findings it stops on a broken promise:
// Data past its cap, or a completed code whose text does not read back as the same code.
#include "terminal/CPortEsc.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool Condition) {
  if (!Condition) {
    std::abort();
  }
}

template <typename TParser>
void FeedAll(const uint8_t* Bytes, size_t Size) {
  TParser Parser;
  for (size_t I = 0; I < Size; ++I) {
    const TFeedResult Result = Parser.FeedChar(static_cast<char>(Bytes[I]));
    Check(Parser.Data.size() <= TEscapeCodes::MaxDataLength);
    if (Result == frChar) {
      Check(Parser.Character == static_cast<char>(Bytes[I]));
    }
    if (Result != frCode) {
      continue;
    }
    Check(Parser.Code != ecNotCompleted);
    for (int Index = 0; Index <= static_cast<int>(Parser.Params.size()) + 1; ++Index) {
      TEscapeCodes::ParamValue(Index, &Parser.Params);
    }
    const std::string Text = Parser.CodeToString(Parser.Code, &Parser.Params);
    if (!Text.empty()) {
      TParser Echo;
      TFeedResult Last = frChar;
      for (const char Ch : Text) {
        Last = Echo.FeedChar(Ch);
      }
      Check(Last == frCode && Echo.Code == Parser.Code);
    }
    Parser.Params.clear();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FeedAll<TEscapeCodesVT100>(Data, Size);
  FeedAll<TEscapeCodesVT52>(Data, Size);
  return 0;
}
