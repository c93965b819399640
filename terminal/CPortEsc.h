// Unit CPortEsc: VT52 and VT100/ANSI escape-code parsers. Free of Qt.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum TEscapeCode {
  ecUnknown,
  ecNotCompleted,
  ecCursorUp,
  ecCursorDown,
  ecCursorLeft,
  ecCursorRight,
  ecCursorHome,
  ecCursorMove,
  ecReverseLineFeed,
  ecAppCursorLeft,
  ecAppCursorRight,
  ecAppCursorUp,
  ecAppCursorDown,
  ecEraseLineFrom,
  ecEraseScreenFrom,
  ecEraseLine,
  ecEraseScreen,
  ecSetTab,
  ecClearTab,
  ecClearAllTabs,
  ecIdentify,
  ecIdentResponse,
  ecQueryDevice,
  ecReportDeviceOK,
  ecReportDeviceFailure,
  ecQueryCursorPos,
  ecReportCursorPos,
  ecAttributes,
  ecSetMode,
  ecResetMode,
  ecReset,
  ecSaveCaretAndAttr,
  ecRestoreCaretAndAttr,
  ecSaveCaret,
  ecRestoreCaret,
  ecTest
};
constexpr int EscapeCodeCount = ecTest + 1;

enum TFeedResult { frChar, frCode, frPending };

// The parameters of a code, as text; "none" is a null pointer where one is taken.
using TEscapeParams = std::vector<std::string>;

class TEscapeCodes {
 public:
  // A device that never ends a control sequence must not exhaust memory: past this many
  // characters Data stops growing (the bytes are still consumed) and the sequence ends as ecUnknown.
  static constexpr std::size_t MaxDataLength = 4096;

  TEscapeCodes() = default;
  virtual ~TEscapeCodes() = default;
  TEscapeCodes(const TEscapeCodes&) = delete;
  TEscapeCodes& operator=(const TEscapeCodes&) = delete;

  virtual TFeedResult FeedChar(char Ch) = 0;
  virtual std::string CodeToString(TEscapeCode Code, const TEscapeParams* Params) const = 0;

  // Parameter Index (1-based) as a signed decimal number; 1 when missing or not a number.
  static int ParamValue(int Index, const TEscapeParams* Params);

  char Character = 0;           // last plain character fed
  TEscapeCode Code = ecUnknown; // last completed code
  std::string Data;             // characters after the ESC of the current or last sequence
  TEscapeParams Params;         // parameters of the last completed code; the caller clears them
};

class TEscapeCodesVT52 : public TEscapeCodes {
 public:
  TFeedResult FeedChar(char Ch) override;
  std::string CodeToString(TEscapeCode Code, const TEscapeParams* Params) const override;

  bool Collecting = false;

 private:
  TEscapeCode RecognizeVT52(const std::string& Str);
};

class TEscapeCodesVT100 : public TEscapeCodes {
 public:
  TFeedResult FeedChar(char Ch) override;
  std::string CodeToString(TEscapeCode Code, const TEscapeParams* Params) const override;

  bool Collecting = false;
  bool InControlSequence = false;

 private:
  TEscapeCode RecognizeShort(const std::string& Str) const;
  TEscapeCode RecognizeControl(const std::string& Str);
  static void SplitParams(const char* First, const char* Last, TEscapeParams& List);

  bool FOverflow = false;  // Data hit MaxDataLength in the current control sequence
};
