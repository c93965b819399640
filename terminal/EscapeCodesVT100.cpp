#include "CPortEsc.h"

namespace {

const char ESC = '\x1b';

bool IsLetter(char Ch) { return (Ch >= 'A' && Ch <= 'Z') || (Ch >= 'a' && Ch <= 'z'); }

char FirstChar(const TEscapeParams& List) { return List.empty() ? '\0' : List.front().front(); }

}  // namespace

TFeedResult TEscapeCodesVT100::FeedChar(char Ch) {
  if (!Collecting) {
    if (Ch == ESC) {
      Data.clear();
      Collecting = true;
      FOverflow = false;
      return frPending;
    }
    Character = Ch;
    return frChar;
  }
  TEscapeCode Result;
  if (InControlSequence) {
    // Keep room for the final letter, which decides the code.
    if (Data.size() + 1 < MaxDataLength || IsLetter(Ch)) {
      Data += Ch;
    } else {
      FOverflow = true;
    }
    Result = RecognizeControl(Data);
  } else {
    Data += Ch;
    if (Data[0] == '[') {
      InControlSequence = true;
      Result = ecNotCompleted;
    } else {
      Result = RecognizeShort(Data);
    }
  }
  if (Result == ecNotCompleted) {
    return frPending;
  }
  Code = Result;
  Collecting = false;
  InControlSequence = false;
  return frCode;
}

TEscapeCode TEscapeCodesVT100::RecognizeShort(const std::string& Str) const {
  if (Str.size() == 1) {
    switch (Str[0]) {
      case '#':
      case 'O': return ecNotCompleted;
      case '7': return ecSaveCaretAndAttr;
      case '8': return ecRestoreCaretAndAttr;
      case 'H': return ecSetTab;
      case 'c': return ecReset;
      default: return ecUnknown;
    }
  }
  if (Str == "#8") return ecTest;
  if (Str == "OA") return ecAppCursorUp;
  if (Str == "OB") return ecAppCursorDown;
  if (Str == "OC") return ecAppCursorRight;
  if (Str == "OD") return ecAppCursorLeft;
  return ecUnknown;
}

void TEscapeCodesVT100::SplitParams(const char* First, const char* Last, TEscapeParams& List) {
  // A ";" met while the current parameter is still empty becomes part of it: "1;;2" gives 1 and ;2.
  List.clear();
  std::string Current;
  for (const char* Ch = First; Ch != Last; ++Ch) {
    if (*Ch == ';' && !Current.empty()) {
      List.push_back(std::move(Current));
      Current.clear();
    } else {
      Current += *Ch;
    }
  }
  if (!Current.empty()) {
    List.push_back(std::move(Current));
  }
}

TEscapeCode TEscapeCodesVT100::RecognizeControl(const std::string& Str) {
  const char Final = Str.back();
  if (!IsLetter(Final)) {
    return ecNotCompleted;
  }
  if (FOverflow) {
    Params.clear();
    return ecUnknown;
  }
  // Params is rebuilt in place (the caller clears it after each code, keeping its storage).
  TEscapeParams& List = Params;
  SplitParams(Str.data() + 1, Str.data() + Str.size() - 1, List);
  const char First = FirstChar(List);
  TEscapeCode Result = ecUnknown;
  switch (Final) {
    case 'A': Result = ecCursorUp; break;
    case 'B': Result = ecCursorDown; break;
    case 'C': Result = ecCursorRight; break;
    case 'D': Result = ecCursorLeft; break;
    case 'H': Result = ecCursorHome; break;
    case 'f': Result = ecCursorMove; break;
    case 'R': Result = ecReportCursorPos; break;
    case 'h': Result = ecSetMode; break;
    case 'l': Result = ecResetMode; break;
    case 'm': Result = ecAttributes; break;
    case 's': Result = ecSaveCaret; break;
    case 'u': Result = ecRestoreCaret; break;
    case 'J':
      Result = (List.empty() || First == '0') ? ecEraseScreenFrom : First == '2' ? ecEraseScreen : ecUnknown;
      List.clear();
      break;
    case 'K':
      Result = (List.empty() || First == '0') ? ecEraseLineFrom : First == '2' ? ecEraseLine : ecUnknown;
      List.clear();
      break;
    case 'g':
      Result = (List.empty() || First == '0') ? ecClearTab : First == '3' ? ecClearAllTabs : ecUnknown;
      List.clear();
      break;
    case 'n':
      switch (First) {
        case '0': Result = ecReportDeviceOK; break;
        case '3': Result = ecReportDeviceFailure; break;
        case '5': Result = ecQueryDevice; break;
        case '6': Result = ecQueryCursorPos; break;
        default: Result = ecUnknown; break;  // also no parameter at all
      }
      List.clear();
      break;
    case 'c':
      if (List.empty() || (List.size() == 1 && List[0] == "0")) {
        Result = ecIdentify;
      } else if (List.size() == 2 && List[0] == "?1") {
        Result = ecIdentResponse;
      }
      break;
    default: break;
  }
  return Result;
}

std::string TEscapeCodesVT100::CodeToString(TEscapeCode Code, const TEscapeParams* Params) const {
  const std::string Csi = std::string(1, ESC) + "[";
  const std::string Esc(1, ESC);
  const auto P = [Params](int Index) { return std::to_string(ParamValue(Index, Params)); };
  switch (Code) {
    case ecCursorUp: return Csi + "A";
    case ecCursorDown: return Csi + "B";
    case ecCursorLeft: return Csi + "D";
    case ecCursorRight: return Csi + "C";
    case ecCursorHome: return Csi + "H";
    case ecCursorMove: return Csi + P(1) + ";" + P(2) + "f";
    case ecAppCursorLeft: return Esc + "OD";
    case ecAppCursorRight: return Esc + "OC";
    case ecAppCursorUp: return Esc + "OA";
    case ecAppCursorDown: return Esc + "OB";
    case ecEraseLineFrom: return Csi + "K";
    case ecEraseScreenFrom: return Csi + "J";
    case ecEraseLine: return Csi + "2K";
    case ecEraseScreen: return Csi + "2J";
    case ecSetTab: return Esc + "H";
    case ecClearTab: return Csi + "g";
    case ecClearAllTabs: return Csi + "3g";
    case ecIdentify: return Csi + "c";
    case ecIdentResponse: return Csi + "?1;" + P(1) + "c";
    case ecQueryDevice: return Csi + "5n";
    case ecReportDeviceOK: return Csi + "0n";
    case ecReportDeviceFailure: return Csi + "3n";
    case ecQueryCursorPos: return Csi + "6n";
    case ecReportCursorPos: return Csi + P(1) + ";" + P(2) + "R";
    case ecAttributes: return Csi + "m";
    case ecSetMode: return Csi + "h";
    case ecResetMode: return Csi + "l";
    case ecReset: return Esc + "c";
    case ecSaveCaretAndAttr: return Esc + "7";
    case ecRestoreCaretAndAttr: return Esc + "8";
    case ecSaveCaret: return Csi + "s";
    case ecRestoreCaret: return Csi + "u";
    case ecTest: return Esc + "#8";
    default: return std::string();
  }
}
