// The receive path, the codes' actions, the answers and the sending side of the terminal, without
// a window. Ports are pseudo-terminals; the test plays the remote side on the master.
#include "terminal/TermSession.h"

#include "Pty.h"
#include "TermPtySupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

const std::string ESC = "\x1b";

// A session that records what reaches its events.
class TRecorder : public TTermSession {
 public:
  TRecorder() {
    OnChar = [this](TObject* Sender, char Ch) {
      EXPECT_EQ(Sender, static_cast<TObject*>(this));
      Chars += Ch;
    };
    OnUnhandledCode = [this](TObject*, TEscapeCode Code, const std::string& Data) {
      Unhandled.emplace_back(Code, Data);
    };
  }
  void Receive(const std::string& Bytes) {
    ReceiveBlock(nullptr, Bytes.data(), static_cast<int32_t>(Bytes.size()));
  }
  // The link the port calls; tests call it as the port would.
  void ReceiveThroughLink(const std::string& Bytes) {
    ComLink().OnRxBuf(ComPort(), Bytes.data(), static_cast<int32_t>(Bytes.size()));
  }
  void HideTermCaret() override { ++HideCount; }
  void ShowTermCaret() override { ++ShowCount; }
  std::string Row(int Y) const {
    std::string Text;
    for (int X = 1; X <= Columns(); ++X) {
      const char Ch = Buffer().GetChar(X, Y).Ch;
      Text += Ch == 0 ? ' ' : Ch;
    }
    return Text.substr(0, Text.find_last_not_of(' ') + 1);
  }
  void CaretAt(int X, int Y) { PlaceCaret(X, Y); }

  std::string Chars;
  std::vector<std::pair<TEscapeCode, std::string>> Unhandled;
  int HideCount = 0;
  int ShowCount = 0;
};

::testing::AssertionResult CaretIs(const TTermSession& Session, int X, int Y) {
  const TTermPoint At = Session.CaretPos();
  if (At.X == X && At.Y == Y) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "caret at (" << At.X << "," << At.Y << "), expected (" << X << ","
                                       << Y << ")";
}

// ---------------------------------------------------------------------------
// Which received bytes reach OnChar

struct TDeliveryCase {
  const char* Name;
  TTermEmulation Emulation;
  std::string Received;
  std::string Delivered;
};

// Test names in ctest show the case, not its bytes.
void PrintTo(const TDeliveryCase& Case, std::ostream* Out) { *Out << Case.Name; }

class Delivery : public ::testing::TestWithParam<TDeliveryCase> {};

TEST_P(Delivery, OnlyBytesOutsideSequencesReachOnCharInOrder) {
  TRecorder Session;
  Session.SetEmulation(GetParam().Emulation);
  Session.Receive(GetParam().Received);
  EXPECT_EQ(Session.Chars, GetParam().Delivered);
}

const std::string Swallowed300 = [] {
  std::string Bytes;
  for (int Index = 0; Index < 300; ++Index) {
    const char Pick[] = {'1', ';', '?', '\0', '\r', '\x1b', '\x80', '\xE9', '[', '@'};
    Bytes += Pick[Index % sizeof(Pick)];
  }
  return Bytes;
}();

const std::string AllButEscape = [] {
  std::string Bytes;
  for (int Byte = 0; Byte < 256; ++Byte) {
    if (Byte != 0x1B) Bytes += static_cast<char>(Byte);
  }
  return Bytes;
}();

INSTANTIATE_TEST_SUITE_P(
    Terminal, Delivery,
    ::testing::Values(
        TDeliveryCase{"Vt100PlainBytesIncludingNulAndHighBytes", teVT100orANSI, "\x41\x00\x0D\x0A\xFF\x42"s,
                      "\x41\x00\x0D\x0A\xFF\x42"s},
        TDeliveryCase{"Vt100AllNonEscapeBytes", teVT100orANSI, AllButEscape, AllButEscape},
        TDeliveryCase{"Vt100EscAIsOneUnknownSequence", teVT100orANSI, "A" + ESC + "AB", "AB"},
        TDeliveryCase{"Vt100SecondEscEndsTheFirst", teVT100orANSI, ESC + ESC + "A", "A"},
        TDeliveryCase{"Vt100Colour", teVT100orANSI, ESC + "[31mx", "x"},
        TDeliveryCase{"Vt100ControlSequenceSwallowsUpToALetter", teVT100orANSI,
                      ESC + "[" + Swallowed300 + "qZ", "Z"},
        TDeliveryCase{"Vt100HashAndOTakeOneMore", teVT100orANSI, ESC + "#8a" + ESC + "OXb" + ESC + "#\x1b" + "c",
                      "abc"},
        TDeliveryCase{"Vt100ShortSequencesEndAtOnce", teVT100orANSI,
                      ESC + "H1" + ESC + "c2" + ESC + "73" + ESC + "84" + ESC + "\x80" + "5" + ESC + "\0"s + "6",
                      "123456"},
        TDeliveryCase{"Vt52EscAndOneByte", teVT52, ESC + "A1" + ESC + "[31m", "131m"},
        TDeliveryCase{"Vt52SlashTakesOneMoreYTwoMore", teVT52, ESC + "/Zq" + ESC + "Y\x25\x2Ar", "qr"},
        TDeliveryCase{"NoneDeliversEveryByte", teNone, ESC + "[31m" + ESC, ESC + "[31m" + ESC}),
    [](const ::testing::TestParamInfo<TDeliveryCase>& Info) { return std::string(Info.param.Name); });

TEST(TermReceive, UnknownSequencesAreReportedWithTheirData) {
  TRecorder Session;
  Session.Receive("A" + ESC + "AB" + ESC + ESC + "C" + ESC + "[1;2R");
  EXPECT_EQ(Session.Chars, "ABC");
  const std::vector<std::pair<TEscapeCode, std::string>> Expected{
      {ecUnknown, "A"}, {ecUnknown, ESC}, {ecReportCursorPos, "[1;2R"}};
  EXPECT_EQ(Session.Unhandled, Expected);
}

TEST(TermReceive, SgrActsOnLaterCharactersAndBadNumbersChangeNothing) {
  TRecorder Session;
  Session.Receive(ESC + "[012m");
  EXPECT_EQ(Session.TermAttr().FrontColor, 0x00FFFFFFu);
  Session.Receive(ESC + "[31mR");
  EXPECT_EQ(Session.Chars, "R");
  EXPECT_EQ(Session.Buffer().GetChar(1, 1).FrontColor, 0x000000FFu);
  EXPECT_TRUE(Session.Unhandled.empty());
}

TEST(TermReceive, SequencesSplitAcrossBatchesAreCompleted) {
  for (const char* Emulation : {"VT100", "VT52"}) {
    SCOPED_TRACE(Emulation);
    TRecorder Session;
    const bool Vt52 = std::string(Emulation) == "VT52";
    Session.SetEmulation(Vt52 ? teVT52 : teVT100orANSI);
    const std::string Move = Vt52 ? ESC + "Y\x22\x24" : ESC + "[3;5H";
    // Every split point, byte by byte as the slowest line would deliver it.
    for (std::size_t Split = 1; Split < Move.size(); ++Split) {
      Session.CaretAt(1, 1);
      Session.Chars.clear();
      Session.Receive(Move.substr(0, Split));
      Session.Receive(Move.substr(Split) + "X");
      EXPECT_EQ(Session.Chars, "X") << "split at " << Split;
      EXPECT_TRUE(CaretIs(Session, 6, 3)) << "split at " << Split;
    }
    EXPECT_TRUE(Session.Unhandled.empty());
  }
}

TEST(TermReceive, ChangingTheEmulationDropsAHalfReceivedSequence) {
  TRecorder Session;
  Session.Receive(ESC + "[3");
  Session.SetEmulation(teVT52);
  Session.Receive("1mA");
  EXPECT_EQ(Session.Chars, "1mA");
  EXPECT_EQ(Session.TermAttr().FrontColor, 0x00FFFFFFu);
}

TEST(TermReceive, AppendLfInsertsAfterEveryReturnBeforeTheStringEvent) {
  TRecorder Session;
  Session.SetAppendLF(true);
  std::vector<std::string> Seen;
  Session.OnStrRecieved = [&](TObject*, std::string& Str) { Seen.push_back(Str); };
  Session.Receive("\rA");
  EXPECT_EQ(Session.Chars, "\r\nA");
  EXPECT_TRUE(CaretIs(Session, 2, 2));
  Session.Chars.clear();
  Session.Receive("x\r\n\r");
  EXPECT_EQ(Session.Chars, "x\r\n\n\r\n");
  const std::vector<std::string> Expected{"\r\nA", "x\r\n\n\r\n"};
  EXPECT_EQ(Seen, Expected);
}

TEST(TermReceive, StringEventSeesTheWholeBatchAndMayEmptyOrReplaceIt) {
  TRecorder Session;
  std::string Seen;
  Session.OnStrRecieved = [&](TObject* Sender, std::string& Str) {
    EXPECT_EQ(Sender, static_cast<TObject*>(&Session));
    Seen = Str;
    Str.clear();
  };
  Session.Receive("AB" + ESC + "[2JC");
  EXPECT_EQ(Seen, "AB" + ESC + "[2JC") << "before any escape processing";
  EXPECT_EQ(Session.Chars, "");
  EXPECT_EQ(Session.Row(1), "");
  EXPECT_TRUE(CaretIs(Session, 1, 1));

  Session.OnStrRecieved = [](TObject*, std::string& Str) {
    if (Str == "ignored") Str = "xy" + ESC;
  };
  Session.Receive("ignored");
  Session.Receive("[Cz");
  EXPECT_EQ(Session.Chars, "xyz");
  EXPECT_TRUE(CaretIs(Session, 5, 1));
}

TEST(TermReceive, Force7BitClearsTheEighthBitAfterLineFeedsAndBeforeTheStringEvent) {
  TRecorder Session;
  Session.SetForce7Bit(true);
  Session.SetAppendLF(true);
  std::string Seen;
  Session.OnStrRecieved = [&](TObject*, std::string& Str) { Seen = Str; };
  // $8D becomes CR only after the line feeds were inserted; $9B becomes ESC and starts a sequence.
  Session.Receive("\xC1\xE2\r\x8D\x9B[Cq"s);
  EXPECT_EQ(Seen, "Ab\r\n\r" + ESC + "[Cq");
  EXPECT_EQ(Session.Chars, "Ab\r\n\rq");
  Session.SetForce7Bit(false);
  Session.Chars.clear();
  Session.Receive("\xC1"s);
  EXPECT_EQ(Session.Chars, "\xC1"s);
}

TEST(TermReceive, EmptyOrMissingBlocksDoNothing) {
  TRecorder Session;
  int Calls = 0;
  Session.OnStrRecieved = [&](TObject*, std::string&) { ++Calls; };
  Session.ReceiveBlock(nullptr, nullptr, 5);
  Session.ReceiveBlock(nullptr, "abc", 0);
  Session.ReceiveBlock(nullptr, "abc", -1);
  Session.ProcessBytes(nullptr, 3);
  EXPECT_EQ(Calls, 0);
  EXPECT_EQ(Session.Chars, "");
}

TEST(TermReceive, ProcessStringShowsTextWithoutTheStringEvent) {
  TRecorder Session;
  Session.OnStrRecieved = [](TObject*, std::string& Str) { Str.clear(); };
  Session.ProcessString("ab" + ESC + "[1;3Hc");
  EXPECT_EQ(Session.Row(1), "abc");
  EXPECT_EQ(Session.Chars, "abc");
}

TEST(TermReceive, ShowCharActsOnControlsAndFiresOnCharForEveryValue) {
  TRecorder Session;
  Session.ProcessString("abc\bX\tY\rZ\nW\x07\x0B\x0E\x1F");
  EXPECT_EQ(Session.Row(1), "ZbX     Y");
  EXPECT_EQ(Session.Row(2), " W");
  EXPECT_TRUE(CaretIs(Session, 3, 2));
  EXPECT_EQ(Session.Chars.size(), 15u);
  Session.ProcessString("\f");
  EXPECT_EQ(Session.Row(1), "");
  EXPECT_TRUE(CaretIs(Session, 1, 1));
  Session.SetEmulation(teNone);
  Session.ShowChar('\x1b');
  EXPECT_TRUE(CaretIs(Session, 1, 1));
  EXPECT_EQ(Session.Chars.back(), '\x1b');
}

TEST(TermReceive, TheCaretIsHiddenWhileProcessingAndShownAgainAfterAnError) {
  TRecorder Session;
  int HiddenInHandler = 0;
  Session.OnChar = [&](TObject*, char Ch) {
    HiddenInHandler += Session.HideCount - Session.ShowCount;
    if (Ch == '!') throw std::runtime_error("handler");
  };
  Session.Receive("ab");
  EXPECT_EQ(HiddenInHandler, 2);
  EXPECT_EQ(Session.HideCount, Session.ShowCount);
  EXPECT_THROW(Session.Receive("c!d"), std::runtime_error);
  EXPECT_EQ(Session.HideCount, Session.ShowCount);
  EXPECT_EQ(Session.Row(1), "abc!");
}

TEST(TermReceive, ParametersAreClearedAfterACodeAlsoWhenItsHandlerRaises) {
  TRecorder Session;
  Session.OnUnhandledCode = [](TObject*, TEscapeCode, const std::string&) { throw std::runtime_error("x"); };
  EXPECT_THROW(Session.Receive(ESC + "[1;2R"), std::runtime_error);
  EXPECT_TRUE(Session.EscapeCodes()->Params.empty());
  Session.Receive(ESC + "[4;6f");
  EXPECT_TRUE(Session.EscapeCodes()->Params.empty());
  EXPECT_TRUE(CaretIs(Session, 6, 4));
}

TEST(TermReceive, AHandlerMayChangeTheEmulationInTheMiddleOfABatch) {
  TRecorder Session;
  Session.OnChar = [&](TObject*, char Ch) {
    Session.Chars += Ch;
    if (Ch == '1') Session.SetEmulation(teNone);
  };
  Session.OnUnhandledCode = [&](TObject*, TEscapeCode, const std::string& Data) {
    EXPECT_EQ(Data, "A");
    Session.SetEmulation(teVT52);
  };
  Session.Receive(ESC + "A" + ESC + "A1" + ESC + "A");
  EXPECT_EQ(Session.Chars, "1" + ESC + "A") << "VT100, then VT52 took ESC A, then no parser";
  EXPECT_EQ(Session.Emulation(), teNone);
}

TEST(TermReceive, EmulationNoneAsksForAParserAndOwnsWhatItGets) {
  TRecorder Session;
  int Asked = 0;
  Session.OnGetEscapeCodes = [&](TObject* Sender, std::unique_ptr<TEscapeCodes>& Codes) {
    EXPECT_EQ(Sender, static_cast<TObject*>(&Session));
    EXPECT_EQ(Codes, nullptr);
    ++Asked;
    Codes = std::make_unique<TEscapeCodesVT52>();
  };
  Session.SetEmulation(teNone);
  EXPECT_EQ(Asked, 1);
  ASSERT_NE(dynamic_cast<TEscapeCodesVT52*>(Session.EscapeCodes()), nullptr);
  Session.Receive(ESC + "Aa");
  EXPECT_EQ(Session.Chars, "a");
  Session.SetEmulation(teNone);
  EXPECT_EQ(Asked, 1) << "an equal value changes nothing";
  Session.SetEmulation(teVT100orANSI);
  ASSERT_NE(dynamic_cast<TEscapeCodesVT100*>(Session.EscapeCodes()), nullptr);
  Session.OnGetEscapeCodes = nullptr;
  Session.SetEmulation(teNone);
  EXPECT_EQ(Session.EscapeCodes(), nullptr);
}

// ---------------------------------------------------------------------------
// What each code does

TEST(TermApply, ResultIsFalseOnlyForCodesTheTerminalDoesNotActOn) {
  TRecorder Session;
  for (int Ord = 0; Ord < EscapeCodeCount; ++Ord) {
    const auto Code = static_cast<TEscapeCode>(Ord);
    const bool Unhandled = Code == ecUnknown || Code == ecNotCompleted || Code == ecIdentResponse ||
                           Code == ecReportDeviceOK || Code == ecReportDeviceFailure || Code == ecReportCursorPos;
    EXPECT_EQ(Session.ApplyCode(Code, nullptr), !Unhandled) << "code " << Ord;
  }
}

struct TCaretCase {
  const char* Name;
  TTermEmulation Emulation;
  TTermPoint From;
  std::string Received;
  TTermPoint To;
};

void PrintTo(const TCaretCase& Case, std::ostream* Out) { *Out << Case.Name; }

class CaretCodes : public ::testing::TestWithParam<TCaretCase> {};

TEST_P(CaretCodes, MoveTheCaretWithinTheScreen) {
  TRecorder Session;
  Session.SetEmulation(GetParam().Emulation);
  Session.CaretAt(GetParam().From.X, GetParam().From.Y);
  Session.Receive(GetParam().Received);
  EXPECT_TRUE(CaretIs(Session, GetParam().To.X, GetParam().To.Y));
  EXPECT_TRUE(Session.Unhandled.empty());
  EXPECT_EQ(Session.Chars, "");
}

INSTANTIATE_TEST_SUITE_P(
    Terminal, CaretCodes,
    ::testing::Values(TCaretCase{"UpNegativeGoesDown", teVT100orANSI, {5, 10}, ESC + "[-2A", {5, 12}},
                      TCaretCase{"UpNotANumberIsOne", teVT100orANSI, {5, 10}, ESC + "[?3A", {5, 9}},
                      TCaretCase{"MoveLeadingSemicolonIsOneParameter", teVT100orANSI, {7, 7}, ESC + "[;5f", {1, 1}},
                      // Parameters at the ends of the int range must not wrap past the screen edge.
                      TCaretCase{"RightByIntMax", teVT100orANSI, {10, 10}, ESC + "[2147483647C", {80, 10}},
                      TCaretCase{"RightByIntMin", teVT100orANSI, {10, 10}, ESC + "[-2147483648C", {1, 10}},
                      TCaretCase{"LeftByIntMax", teVT100orANSI, {10, 10}, ESC + "[2147483647D", {1, 10}},
                      TCaretCase{"LeftByIntMin", teVT100orANSI, {10, 10}, ESC + "[-2147483648D", {80, 10}},
                      TCaretCase{"UpByIntMax", teVT100orANSI, {10, 10}, ESC + "[2147483647A", {10, 1}},
                      TCaretCase{"UpByIntMin", teVT100orANSI, {10, 10}, ESC + "[-2147483648A", {10, 24}},
                      TCaretCase{"DownByIntMax", teVT100orANSI, {10, 10}, ESC + "[2147483647B", {10, 24}},
                      TCaretCase{"DownByIntMin", teVT100orANSI, {10, 10}, ESC + "[-2147483648B", {10, 1}},
                      TCaretCase{"FromTheCornerByIntMax", teVT100orANSI, {80, 24}, ESC + "[2147483647C" + ESC +
                                 "[2147483647B", {80, 24}},
                      TCaretCase{"AppUp", teVT100orANSI, {5, 10}, ESC + "OA", {5, 9}},
                      TCaretCase{"AppDown", teVT100orANSI, {5, 10}, ESC + "OB", {5, 11}},
                      TCaretCase{"AppRight", teVT100orANSI, {5, 10}, ESC + "OC", {6, 10}},
                      TCaretCase{"AppLeft", teVT100orANSI, {5, 10}, ESC + "OD", {4, 10}},
                      TCaretCase{"RestoreWithoutSaveGoesHome", teVT100orANSI, {3, 4}, ESC + "8", {1, 1}},
                      TCaretCase{"Vt52Move", teVT52, {1, 1}, ESC + "Y\x25\x2A", {11, 6}},
                      TCaretCase{"Vt52MoveBelowOneIsClamped", teVT52, {5, 5}, ESC + "Y\x10\x10", {1, 1}},
                      TCaretCase{"Vt52Home", teVT52, {5, 5}, ESC + "H", {1, 1}},
                      TCaretCase{"Vt52ReverseLineFeed", teVT52, {5, 5}, ESC + "I", {5, 4}}),
    [](const ::testing::TestParamInfo<TCaretCase>& Info) { return std::string(Info.param.Name); });

TEST(TermApply, ReverseLineFeedOnTheFirstRowScrollsDown) {
  TRecorder Session;
  Session.SetEmulation(teVT52);
  Session.ProcessString("top" + ESC + "H" + ESC + "I");
  EXPECT_EQ(Session.Row(1), "");
  EXPECT_EQ(Session.Row(2), "top");
  EXPECT_TRUE(CaretIs(Session, 1, 1));
}

TEST(TermApply, ResetTouchesOnlyTheAttributesAndTestFillsWithE) {
  TRecorder Session;
  Session.ProcessString("keep" + ESC + "[1;4;7;32m" + ESC + "c");
  EXPECT_EQ(Session.Row(1), "keep");
  EXPECT_TRUE(CaretIs(Session, 5, 1));
  EXPECT_EQ(Session.TermAttr().FrontColor, 0x00FFFFFFu);
  EXPECT_FALSE(Session.TermAttr().Bold || Session.TermAttr().Underline || Session.TermAttr().Invert);
  Session.ProcessString(ESC + "[31m" + ESC + "#8");
  EXPECT_EQ(Session.Row(24), std::string(80, 'E'));
  EXPECT_EQ(Session.Buffer().GetChar(80, 24).FrontColor, 0x00FFFFFFu) << "the test pattern ignores attributes";
  EXPECT_TRUE(CaretIs(Session, 5, 1));
}

TEST(TermApply, ModesSwitchCursorKeysWrapAndWidth) {
  TRecorder Session;
  Session.ProcessString(ESC + "[?1h" + ESC + "[?7h" + ESC + "[?3h");
  EXPECT_TRUE(Session.AppCursorKeys());
  EXPECT_TRUE(Session.WrapLines());
  EXPECT_EQ(Session.Columns(), 132);
  Session.ProcessString(ESC + "[?1l" + ESC + "[?7l" + ESC + "[?3l" + ESC + "[7h");
  EXPECT_FALSE(Session.AppCursorKeys());
  EXPECT_FALSE(Session.WrapLines());
  EXPECT_EQ(Session.Columns(), 80);
}

// ---------------------------------------------------------------------------
// Ports: binding, answers and sending

class TermPort : public ::testing::Test {
 protected:
  void Connect() { OpenWithoutEvents(Port, Pty); }
  std::string SentBeforeMarker() { return ::SentBeforeMarker(Session, Pty); }

  TPty Pty;
  TComPort Port;
  TRecorder Session;
};

TEST_F(TermPort, BindingAttachesTheLinkAndAFreedPortUnbindsItself) {
  EXPECT_FALSE(Session.Connected());
  Session.SetConnected(true);  // no port: nothing happens
  {
    TComPort Other;
    Session.SetComPort(&Other);
    EXPECT_TRUE(Other.HasRxBufLink());
    Session.SetComPort(&Port);
    EXPECT_FALSE(Other.HasRxBufLink());
    EXPECT_TRUE(Port.HasRxBufLink());
    Session.SetComPort(&Other);
  }
  EXPECT_EQ(Session.ComPort(), nullptr) << "the freed port unset itself";
  Session.SetComPort(&Port);
  Session.SetComPort(&Port);  // equal value: the link is not attached twice
  {
    TRecorder Second;
    Second.SetComPort(&Port);
  }
  EXPECT_TRUE(Port.HasRxBufLink()) << "the second terminal detached only its own link";
  Session.SetComPort(nullptr);
  EXPECT_FALSE(Port.HasRxBufLink());
}

TEST_F(TermPort, ATerminalFreedFirstLeavesNoLinkBehind) {
  {
    TRecorder Temporary;
    Temporary.SetComPort(&Port);
  }
  EXPECT_FALSE(Port.HasRxBufLink());
  // The port, freed at the end, must not notify the terminal that is gone (a sanitizer build sees it).
}

TEST_F(TermPort, ConnectedFollowsAndSetsThePort) {
  Session.SetComPort(&Port);
  Port.SetEvents({});
  Port.SetPort(Pty.Path());
  Session.SetConnected(true);
  EXPECT_TRUE(Port.Connected());
  EXPECT_TRUE(Session.Connected());
  Session.SetConnected(false);
  EXPECT_FALSE(Port.Connected());
  EXPECT_FALSE(Session.Connected());
}

TEST_F(TermPort, QueriesAreAnsweredWhileConnected) {
  Session.SetComPort(&Port);
  Connect();
  struct TQuery {
    TTermEmulation Emulation;
    std::string Query;
    std::string Answer;
  };
  const TQuery Queries[] = {
      {teVT100orANSI, ESC + "[c", ESC + "[?1;2c"},
      {teVT100orANSI, ESC + "[0c", ESC + "[?1;2c"},
      {teVT100orANSI, ESC + "[5n", ESC + "[0n"},
      {teVT100orANSI, ESC + "[3;5H" + ESC + "[6n", ESC + "[3;5R"},
      {teVT100orANSI, ESC + "[24;80H" + ESC + "[6n", ESC + "[24;80R"},
      {teVT52, ESC + "Z", ESC + "/Z"},
      {teVT100orANSI, ESC + "[1c" + ESC + "[?1;2c" + ESC + "[0n" + ESC + "[6", ""},
  };
  for (const TQuery& Query : Queries) {
    SCOPED_TRACE(Query.Query.substr(1));
    Session.SetEmulation(Query.Emulation);
    Session.ReceiveThroughLink(Query.Query);
    EXPECT_EQ(SentBeforeMarker(), Query.Answer);
  }
  EXPECT_EQ(Session.Chars, "");
}

TEST_F(TermPort, QueriesAreDroppedWithoutAConnectedPort) {
  Session.ProcessString(ESC + "[6n" + ESC + "[c");  // no port at all
  Session.SetComPort(&Port);
  Session.ProcessString(ESC + "[3;5H" + ESC + "[6n" + ESC + "[5n");  // port closed
  EXPECT_EQ(Session.Chars, "");
  Connect();
  EXPECT_EQ(SentBeforeMarker(), "");
}

TEST_F(TermPort, SendCharWritesEchoesAndAddsTheLineFeed) {
  Session.SetComPort(&Port);
  Session.SetLocalEcho(true);
  Session.SendChar('a');  // closed: nothing, not even the echo
  EXPECT_EQ(Session.Chars, "");
  Connect();
  Session.SendChar('b');
  EXPECT_EQ(Session.Chars, "b") << "OnChar once, for the echo";
  EXPECT_EQ(Session.Row(1), "b");
  EXPECT_EQ(Session.HideCount, Session.ShowCount);
  EXPECT_EQ(Session.HideCount, 1);
  Session.SetSendLF(true);
  Session.SendChar('\r');
  EXPECT_EQ(Session.Chars, "b\r\n");
  EXPECT_TRUE(CaretIs(Session, 1, 2));
  Session.SetLocalEcho(false);
  Session.SendChar('c');
  EXPECT_EQ(Session.Chars, "b\r\n");
  EXPECT_EQ(SentBeforeMarker(), "b\r\nc");
}

TEST_F(TermPort, SendCodeWritesTheParsersTextAndEchoesLikeAReceivedCode) {
  Session.SetComPort(&Port);
  const TEscapeParams Move{"5", "10"};
  Session.SendCode(ecCursorMove, &Move);  // closed: nothing
  Connect();
  Session.SendCode(ecCursorMove, &Move);
  Session.SendCode(ecAttributes, &Move);
  Session.SetEmulation(teVT52);
  Session.SendCode(ecEraseLine, nullptr);  // VT52 has no text for it
  Session.SendCode(ecCursorMove, &Move);
  EXPECT_TRUE(CaretIs(Session, 1, 1)) << "no echo without LocalEcho";
  Session.SetEmulation(teVT100orANSI);
  Session.SetLocalEcho(true);
  Session.SendCode(ecCursorMove, &Move);
  EXPECT_TRUE(CaretIs(Session, 10, 5));
  Session.SendCode(ecIdentify, nullptr);
  Session.SendCode(ecQueryCursorPos, nullptr);
  EXPECT_EQ(Session.Chars, "") << "codes fire no OnChar";
  // An echoed query is answered as a received one would be.
  EXPECT_EQ(SentBeforeMarker(), ESC + "[5;10f" + ESC + "[m" + ESC + "Y\x24\x29" + ESC + "[5;10f" + ESC + "[c" +
                                    ESC + "[?1;2c" + ESC + "[6n" + ESC + "[5;10R");
}

TEST_F(TermPort, SendAnswerNeedsAParserAndIsNeverEchoed) {
  Session.SetComPort(&Port);
  Connect();
  Session.SetLocalEcho(true);
  const TEscapeParams Position{"7", "9"};
  Session.SendAnswer(ecReportCursorPos, &Position);
  Session.SendAnswer(ecCursorMove, &Position);
  EXPECT_TRUE(CaretIs(Session, 1, 1));
  Session.SetEmulation(teNone);
  Session.SendAnswer(ecReportDeviceOK, nullptr);
  Session.SendCode(ecCursorUp, nullptr);
  EXPECT_EQ(SentBeforeMarker(), ESC + "[7;9R" + ESC + "[7;9f");
}

TEST_F(TermPort, CursorKeysSendMoveLocallyOrSendApplicationCodes) {
  Session.SetComPort(&Port);
  Connect();
  Session.CaretAt(5, 5);
  Session.CursorKey(ecCursorUp);
  Session.CursorKey(ecCursorHome);
  EXPECT_TRUE(CaretIs(Session, 5, 5));
  Session.SetArrowKeys(akWindows);
  Session.CursorKey(ecCursorUp);
  EXPECT_TRUE(CaretIs(Session, 5, 4));
  Session.CursorKey(ecCursorRight);
  EXPECT_TRUE(CaretIs(Session, 6, 4));
  Session.CursorKey(ecCursorHome);
  EXPECT_TRUE(CaretIs(Session, 1, 1));
  EXPECT_EQ(SentBeforeMarker(), ESC + "[A" + ESC + "[H");

  Session.ProcessString(ESC + "[?1h");
  for (const TEscapeCode Code : {ecCursorUp, ecCursorDown, ecCursorLeft, ecCursorRight, ecCursorHome}) {
    Session.CursorKey(Code);
  }
  EXPECT_TRUE(CaretIs(Session, 1, 1)) << "ArrowKeys is not consulted";
  EXPECT_EQ(SentBeforeMarker(), ESC + "OA" + ESC + "OB" + ESC + "OD" + ESC + "OC");
}

TEST_F(TermPort, PortWriteErrorsPropagateOutOfTheReceivePath) {
  Session.SetComPort(&Port);
  Connect();
  Pty.CloseMaster();
  EXPECT_THROW(Session.ProcessString(ESC + "[5n"), EComPort);
  EXPECT_EQ(Session.HideCount, Session.ShowCount);
  EXPECT_THROW(Session.SendChar('x'), EComPort);
}

// The road of received bytes in the program: event thread, hand-over to this (owner) thread,
// the port's read, the link, the terminal.
TEST_F(TermPort, BytesArrivingAtThePortReachOnCharThroughTheEventThread) {
  Session.SetComPort(&Port);
  Port.SetPort(Pty.Path());
  Port.Open();
  ASSERT_TRUE(Port.EventThreadCreated());
  const std::string Image = "AB" + ESC + "[31mC\x00\xFF"s + ESC + "[6nD";
  Pty.Send(Image);
  const auto Deadline = std::chrono::steady_clock::now() + 5s;
  while (Session.Chars.size() < 6 && std::chrono::steady_clock::now() < Deadline) {
    WaitForHandOvers(10ms);
    ServeHandOvers();
  }
  EXPECT_EQ(Session.Chars, "ABC\x00\xFF" "D"s);
  EXPECT_EQ(Session.Buffer().GetChar(3, 1).FrontColor, 0x000000FFu);
  EXPECT_EQ(Pty.Receive(6), ESC + "[1;5R");
  Port.Close();
}

}  // namespace
