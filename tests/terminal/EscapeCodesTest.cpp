#include "terminal/CPortEsc.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string ESC = "\x1b";

struct TFed {
  std::vector<TFeedResult> Results;
  std::string Chars;  // bytes that came back as frChar
};

TFed Feed(TEscapeCodes& Parser, const std::string& Bytes) {
  TFed Fed;
  for (const char Ch : Bytes) {
    Fed.Results.push_back(Parser.FeedChar(Ch));
    if (Fed.Results.back() == frChar) {
      Fed.Chars += Parser.Character;
    }
  }
  return Fed;
}

std::unique_ptr<TEscapeCodes> MakeParser(bool VT52) {
  if (VT52) {
    return std::make_unique<TEscapeCodesVT52>();
  }
  return std::make_unique<TEscapeCodesVT100>();
}

struct TSequenceCase {
  std::string Data;  // what follows the ESC
  TEscapeCode Code;
  TEscapeParams Params;
};

// Feeds ESC + Data; every byte but the last must be pending and the last must complete the code.
void ExpectSequence(TEscapeCodes& Parser, const TSequenceCase& Case) {
  SCOPED_TRACE("Data \"" + Case.Data + "\"");
  const TFed Fed = Feed(Parser, ESC + Case.Data);
  for (std::size_t I = 0; I + 1 < Fed.Results.size(); ++I) {
    EXPECT_EQ(Fed.Results[I], frPending) << "byte " << I;
  }
  EXPECT_EQ(Fed.Results.back(), frCode);
  EXPECT_EQ(Parser.Code, Case.Code);
  EXPECT_EQ(Parser.Params, Case.Params);
  EXPECT_EQ(Parser.Data, Case.Data);
}

TEST(EscapeCodesVT100, RecognisesSequences) {
  const std::vector<TSequenceCase> Cases = {
      {"[5A", ecCursorUp, {"5"}},
      {"[5;10H", ecCursorHome, {"5", "10"}},
      {"[5;10f", ecCursorMove, {"5", "10"}},
      {"[;5f", ecCursorMove, {";5"}},
      {"[1;;2f", ecCursorMove, {"1", ";2"}},
      {"[;;f", ecCursorMove, {";"}},
      {"[1;2;f", ecCursorMove, {"1", "2"}},
      {"[0J", ecEraseScreenFrom, {}},
      {"[2J", ecEraseScreen, {}},
      {"[20J", ecEraseScreen, {}},
      {"[1J", ecUnknown, {}},
      {"[0K", ecEraseLineFrom, {}},
      {"[5K", ecUnknown, {}},
      {"[0g", ecClearTab, {}},
      {"[1g", ecUnknown, {}},
      {"[n", ecUnknown, {}},
      {"[55n", ecQueryDevice, {}},
      {"[7n", ecUnknown, {}},
      {"[0c", ecIdentify, {"0"}},
      {"[00c", ecUnknown, {"00"}},
      {"[1c", ecUnknown, {"1"}},
      {"[?1;2c", ecIdentResponse, {"?1", "2"}},
      {"[?1c", ecUnknown, {"?1"}},
      {"[?1;2;3c", ecUnknown, {"?1", "2", "3"}},
      {"[?3h", ecSetMode, {"?3"}},
      {"[1;31m", ecAttributes, {"1", "31"}},
      {"[12x", ecUnknown, {"12"}},
      {"[1\x80\xffm", ecAttributes, {"1\x80\xff"}},
      {"[\x1b[2J", ecUnknown, {}},
      {std::string("[\x00;\x1fZ", 5), ecUnknown, {std::string(1, '\0'), "\x1f"}},
      {"#3", ecUnknown, {}},
      {"OX", ecUnknown, {}},
      {"O[", ecUnknown, {}},
      {"A", ecUnknown, {}},
      {"\x1b", ecUnknown, {}},
      {std::string(1, '\0'), ecUnknown, {}},
      {"\xff", ecUnknown, {}},
  };
  for (const TSequenceCase& Case : Cases) {
    TEscapeCodesVT100 Parser;
    ExpectSequence(Parser, Case);
    EXPECT_FALSE(Parser.Collecting);
    EXPECT_FALSE(Parser.InControlSequence);
  }
}

TEST(EscapeCodesVT52, RecognisesSequences) {
  const std::vector<TSequenceCase> Cases = {
      {"/A", ecUnknown, {}},
      {"Y\x25\x2a", ecCursorMove, {"6", "11"}},
      {std::string("Y\x00\x1f", 3), ecCursorMove, {"-31", "0"}},
      {"Y\x1b\x1b", ecCursorMove, {"-4", "-4"}},
      {"Y\xff\x80", ecCursorMove, {"224", "97"}},
      {"[", ecUnknown, {}},
      {"7", ecUnknown, {}},
      {"\x1b", ecUnknown, {}},
  };
  for (const TSequenceCase& Case : Cases) {
    TEscapeCodesVT52 Parser;
    ExpectSequence(Parser, Case);
    EXPECT_FALSE(Parser.Collecting);
  }
}

TEST(EscapeCodes, ParamsAreReplacedAppendedOrLeftAsEachRecogniserDoes) {
  TEscapeCodesVT100 VT100;
  VT100.Params = {"old"};
  Feed(VT100, ESC + "7");
  EXPECT_EQ(VT100.Params, (TEscapeParams{"old"})) << "short sequences leave Params alone";
  Feed(VT100, ESC + "[1;2m");
  EXPECT_EQ(VT100.Params, (TEscapeParams{"1", "2"})) << "control sequences replace Params";
  Feed(VT100, ESC + "[2J");
  EXPECT_TRUE(VT100.Params.empty());

  TEscapeCodesVT52 VT52;
  Feed(VT52, ESC + "Y\x25\x2a");
  Feed(VT52, ESC + "Y\x20\x20");
  EXPECT_EQ(VT52.Params, (TEscapeParams{"6", "11", "1", "1"})) << "VT52 appends";
  Feed(VT52, ESC + "A");
  EXPECT_EQ(VT52.Params.size(), 4u);
}

struct TStreamCase {
  bool VT52;
  std::string Input;
  std::string Delivered;
};

TEST(EscapeCodes, PlainCharactersDeliveredAroundSequences) {
  const std::string Swallowed = std::string("12;?\x01\x7f\x80\xff\x1b", 9);
  std::string Long = ESC + "[";
  for (int I = 0; I < 300; ++I) {
    Long += Swallowed[I % Swallowed.size()];
  }
  const std::vector<TStreamCase> Cases = {
      {false, std::string("A\x00\r\n\xff" "B", 6), std::string("A\x00\r\n\xff" "B", 6)},
      {false, "A" + ESC + "AB", "AB"},
      {false, ESC + ESC + "A", "A"},
      {false, Long, ""},
      {false, Long + "mx", "x"},
      {false, ESC + "#xy", "y"},
      {false, ESC + "#8y", "y"},
      {false, ESC + "OXy", "y"},
      {false, ESC + "Hz", "z"},
      {false, ESC + "\xffz", "z"},
      {false, ESC + std::string(1, '\0') + "z", "z"},
      {false, "ab" + ESC + "[31mcd" + ESC + "[2Je", "abcde"},
      {true, ESC + "/xy", "y"},
      {true, ESC + "Yabc", "c"},
      {true, ESC + "Ab", "b"},
      {true, ESC + "[A", "A"},
      {true, ESC + ESC + "A", "A"},
  };
  for (const TStreamCase& Case : Cases) {
    SCOPED_TRACE(Case.Input);
    auto Parser = MakeParser(Case.VT52);
    EXPECT_EQ(Feed(*Parser, Case.Input).Chars, Case.Delivered);
  }
}

TEST(EscapeCodesVT100, EndlessControlSequenceIsConsumedWithinTheDataCap) {
  TEscapeCodesVT100 Parser;
  Parser.Params = {"stale"};
  ASSERT_EQ(Parser.FeedChar('\x1b'), frPending);
  ASSERT_EQ(Parser.FeedChar('['), frPending);
  for (int I = 0; I < 1000000; ++I) {
    ASSERT_EQ(Parser.FeedChar(I % 2 ? ';' : '1'), frPending) << "byte " << I;
  }
  EXPECT_LE(Parser.Data.size(), TEscapeCodes::MaxDataLength);
  EXPECT_EQ(Parser.FeedChar('m'), frCode);
  EXPECT_EQ(Parser.Code, ecUnknown) << "a truncated sequence must not act";
  EXPECT_TRUE(Parser.Params.empty());
  EXPECT_LE(Parser.Data.size(), TEscapeCodes::MaxDataLength);
  EXPECT_EQ(Parser.Data.back(), 'm');
  EXPECT_EQ(Parser.FeedChar('Q'), frChar);
  // The next sequence starts afresh.
  Feed(Parser, ESC + "[2J");
  EXPECT_EQ(Parser.Code, ecEraseScreen);
}

TEST(EscapeCodesVT100, SequenceUpToTheCapStillActs) {
  const std::size_t Max = TEscapeCodes::MaxDataLength;
  struct TCase {
    std::size_t ParamLength;
    TEscapeCode Code;
  };
  // Data is "[", the parameter text and the final letter.
  for (const TCase& Case : {TCase{Max - 2, ecAttributes}, TCase{Max - 1, ecUnknown}, TCase{Max, ecUnknown}}) {
    TEscapeCodesVT100 Parser;
    Feed(Parser, ESC + "[" + std::string(Case.ParamLength, '7') + "m");
    EXPECT_EQ(Parser.Code, Case.Code) << Case.ParamLength;
    if (Case.Code == ecAttributes) {
      ASSERT_EQ(Parser.Params.size(), 1u);
      EXPECT_EQ(Parser.Params[0].size(), Case.ParamLength);
      EXPECT_EQ(Parser.Data.size(), Max);
    }
  }
}

struct TTextCase {
  bool VT52;
  TEscapeCode Code;
  std::vector<std::string> Params;
  bool NoList;
  std::string Text;
};

TEST(EscapeCodes, CodeToString) {
  // The round trip below proves the rest; these are the answers sent to hosts and the
  // parameter handling it cannot see.
  const std::vector<TTextCase> Cases = {
      {false, ecCursorUp, {"5"}, false, ESC + "[A"},
      {false, ecCursorHome, {"5", "10"}, false, ESC + "[H"},
      {false, ecCursorMove, {"5", "10"}, false, ESC + "[5;10f"},
      {false, ecCursorMove, {}, true, ESC + "[1;1f"},
      {false, ecCursorMove, {";5"}, false, ESC + "[1;1f"},
      {false, ecCursorMove, {"-3", "0"}, false, ESC + "[-3;0f"},
      {false, ecEraseLine, {}, true, ESC + "[2K"},
      {false, ecIdentResponse, {"2"}, false, ESC + "[?1;2c"},
      {false, ecReportDeviceOK, {}, true, ESC + "[0n"},
      {false, ecReportCursorPos, {"3", "5"}, false, ESC + "[3;5R"},
      {false, ecAttributes, {"1"}, false, ESC + "[m"},
      {false, ecReverseLineFeed, {}, true, ""},
      {false, ecUnknown, {}, true, ""},
      {true, ecCursorMove, {"6", "11"}, false, ESC + "Y\x25\x2a"},
      {true, ecCursorMove, {}, true, ESC + "Y  "},
      {true, ecCursorMove, {"-31", "224"}, false, ESC + std::string("Y\x00\xff", 3)},
      {true, ecCursorMove, {"2147483647", "-2147483648"}, false, ESC + "Y\x1e\x1f"},
      {true, ecIdentResponse, {"2"}, false, ESC + "/Z"},
      {true, ecAttributes, {"1"}, false, ""},
      {true, ecReportCursorPos, {"3", "5"}, false, ""},
  };
  for (const TTextCase& Case : Cases) {
    auto Parser = MakeParser(Case.VT52);
    EXPECT_EQ(Parser->CodeToString(Case.Code, Case.NoList ? nullptr : &Case.Params), Case.Text)
        << (Case.VT52 ? "VT52 " : "VT100 ") << "code " << Case.Code;
  }
}

// Every code a parser can express reads back as the same code, with the same parameter values
// where the code carries them.
TEST(EscapeCodes, CodeToStringThenFeedCharGivesTheCodeBack) {
  const TEscapeParams Sent = {"6", "11"};
  for (const bool VT52 : {false, true}) {
    int Expressible = 0;
    for (int Ord = 0; Ord < EscapeCodeCount; ++Ord) {
      const auto Code = static_cast<TEscapeCode>(Ord);
      const std::string Text = MakeParser(VT52)->CodeToString(Code, &Sent);
      if (Text.empty()) {
        continue;
      }
      ++Expressible;
      SCOPED_TRACE(std::string(VT52 ? "VT52 " : "VT100 ") + "code " + std::to_string(Ord));
      auto Parser = MakeParser(VT52);
      const TFed Fed = Feed(*Parser, Text);
      EXPECT_EQ(Fed.Results.back(), frCode);
      EXPECT_TRUE(Fed.Chars.empty());
      EXPECT_EQ(Parser->Code, Code);
      if (Code == ecCursorMove || Code == ecReportCursorPos) {
        EXPECT_EQ(Parser->Params, Sent);
      } else if (Code == ecIdentResponse && !VT52) {
        EXPECT_EQ(TEscapeCodes::ParamValue(2, &Parser->Params), 6);
      }
    }
    EXPECT_EQ(Expressible, VT52 ? 11 : EscapeCodeCount - 3);
  }
}

struct TValueCase {
  int Index;
  std::vector<std::string> Params;
  bool NoList;
  int Value;
};

TEST(EscapeCodes, ParamValue) {
  const std::vector<TValueCase> Cases = {
      {3, {"1", "2"}, false, 1},
      {1, {}, true, 1},
      {1, {"0"}, false, 0},
      {2, {"4", "25"}, false, 25},
      {1, {"-5"}, false, -5},
      {1, {"+7"}, false, 7},
      {1, {"x"}, false, 1},
      {1, {";5"}, false, 1},
      {1, {"12a"}, false, 1},
      {1, {""}, false, 1},
      {1, {"-2147483648"}, false, INT_MIN},
      {1, {"2147483648"}, false, 1},
      {0, {"5"}, false, 1},
  };
  for (const TValueCase& Case : Cases) {
    EXPECT_EQ(TEscapeCodes::ParamValue(Case.Index, Case.NoList ? nullptr : &Case.Params), Case.Value)
        << "index " << Case.Index << (Case.Params.empty() ? "" : " first " + Case.Params[0]);
  }
}

}  // namespace
