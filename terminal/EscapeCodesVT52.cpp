#include "CPortEsc.h"

namespace {

const char ESC = '\x1b';

// VT52 sends a cell as one byte: the value plus 31. Unsigned arithmetic keeps any value defined.
char CoordinateByte(int Value) {
  return static_cast<char>(static_cast<unsigned char>(static_cast<unsigned>(Value) + 31u));
}

}  // namespace

TFeedResult TEscapeCodesVT52::FeedChar(char Ch) {
  if (!Collecting) {
    if (Ch == ESC) {
      Data.clear();
      Collecting = true;
      return frPending;
    }
    Character = Ch;
    return frChar;
  }
  Data += Ch;
  const TEscapeCode Result = RecognizeVT52(Data);
  if (Result == ecNotCompleted) {
    return frPending;
  }
  Code = Result;
  Collecting = false;
  return frCode;
}

TEscapeCode TEscapeCodesVT52::RecognizeVT52(const std::string& Str) {
  switch (Str[0]) {
    case 'A': return ecCursorUp;
    case 'B': return ecCursorDown;
    case 'C': return ecCursorRight;
    case 'D': return ecCursorLeft;
    case 'H': return ecCursorHome;
    case 'I': return ecReverseLineFeed;
    case 'J': return ecEraseScreenFrom;
    case 'K': return ecEraseLineFrom;
    case 'Z': return ecIdentify;
    case '/':
      if (Str.size() < 2) {
        return ecNotCompleted;
      }
      return Str[1] == 'Z' ? ecIdentResponse : ecUnknown;
    case 'Y':
      if (Str.size() < 3) {
        return ecNotCompleted;
      }
      Params.push_back(std::to_string(static_cast<unsigned char>(Str[1]) - 31));
      Params.push_back(std::to_string(static_cast<unsigned char>(Str[2]) - 31));
      return ecCursorMove;
    default:
      return ecUnknown;
  }
}

std::string TEscapeCodesVT52::CodeToString(TEscapeCode Code, const TEscapeParams* Params) const {
  const std::string Esc(1, ESC);
  switch (Code) {
    case ecCursorUp: return Esc + "A";
    case ecCursorDown: return Esc + "B";
    case ecCursorLeft: return Esc + "D";
    case ecCursorRight: return Esc + "C";
    case ecCursorHome: return Esc + "H";
    case ecCursorMove:
      return Esc + "Y" + CoordinateByte(ParamValue(1, Params)) + CoordinateByte(ParamValue(2, Params));
    case ecReverseLineFeed: return Esc + "I";
    case ecEraseLineFrom: return Esc + "K";
    case ecEraseScreenFrom: return Esc + "J";
    case ecIdentify: return Esc + "Z";
    case ecIdentResponse: return Esc + "/Z";
    default: return std::string();
  }
}
