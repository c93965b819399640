#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CPort.h"

namespace {

std::string Lower(std::string S) {
  for (char& C : S)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return S;
}

// Every value writes its table text and reads back from it in any ASCII case.
template <typename E>
void ExpectTable(std::string (*Text)(E), E (*FromText)(const std::string&), const std::vector<std::string>& Texts) {
  for (size_t I = 0; I < Texts.size(); ++I) {
    const E Value = static_cast<E>(I);
    EXPECT_EQ(Text(Value), Texts[I]);
    EXPECT_EQ(FromText(Texts[I]), Value) << Texts[I];
    EXPECT_EQ(FromText(Lower(Texts[I])), Value) << Texts[I];
  }
}

TEST(TextFormsTest, EveryValueHasItsTextAndReadsBack) {
  ExpectTable(BaudRateText, BaudRateFromText,
              {"Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000",
               "57600", "115200", "128000", "256000"});
  ExpectTable(StopBitsText, StopBitsFromText, {"1", "1.5", "2"});
  ExpectTable(DataBitsText, DataBitsFromText, {"5", "6", "7", "8"});
  ExpectTable(ParityText, ParityFromText, {"None", "Odd", "Even", "Mark", "Space"});
  ExpectTable(FlowControlText, FlowControlFromText, {"Hardware", "Software", "None", "Custom"});
  ExpectTable(DTRText, DTRFromText, {"Disable", "Enable", "Handshake"});
  ExpectTable(RTSText, RTSFromText, {"Disable", "Enable", "Handshake", "Toggle"});
  EXPECT_EQ(BoolText(true), "Yes");
  EXPECT_EQ(BoolText(false), "No");
}

TEST(TextFormsTest, UnmatchedTextGivesTheFallback) {
  EXPECT_EQ(BaudRateFromText("custom"), brCustom);
  EXPECT_EQ(BaudRateFromText("CUSTOM"), brCustom);
  for (const char* T : {"fast", " 19200", "19200 ", "", "19200.0", "\xC3\x87ustom"})
    EXPECT_EQ(BaudRateFromText(T), br9600) << T;
  EXPECT_EQ(StopBitsFromText("1,5"), sbOneStopBit);
  EXPECT_EQ(StopBitsFromText("2"), sbTwoStopBits);
  EXPECT_EQ(DataBitsFromText("9"), dbEight);
  EXPECT_EQ(ParityFromText("eVEN"), prEven);
  EXPECT_EQ(ParityFromText("Evenly"), prNone);
  EXPECT_EQ(FlowControlFromText("rts/cts"), fcCustom);
  EXPECT_EQ(FlowControlFromText(""), fcCustom);
  EXPECT_EQ(DTRFromText("toggle"), dtrDisable);
  EXPECT_EQ(RTSFromText("TOGGLE"), rtsToggle);
  EXPECT_EQ(RTSFromText("Toggle\n"), rtsDisable);
  for (const char* T : {"yes", "YES", "yEs"}) EXPECT_TRUE(BoolFromText(T)) << T;
  for (const char* T : {"No", "", "y", "true", "1", " yes", "yes ", "Y\xC3\x89S"}) EXPECT_FALSE(BoolFromText(T)) << T;
}

TEST(TextFormsTest, EveryCharacterCodeRoundTrips) {
  for (int Code = 0; Code < 256; ++Code) {
    const char C = static_cast<char>(Code);
    const std::string Text = CharText(C);
    if (Code >= 33 && Code <= 127)
      EXPECT_EQ(Text, std::string(1, C));
    else
      EXPECT_EQ(Text, "#" + std::to_string(Code));
    EXPECT_EQ(static_cast<unsigned char>(CharFromText(Text)), Code) << Text;
  }
}

TEST(TextFormsTest, CharacterTextRules) {
  struct Case {
    const char* Text;
    int Code;
  } Cases[] = {{"", 0},         {"#", '#'},       {"A", 'A'},       {"AB", 'A'},       {"#17", 17},
               {"#0", 0},       {"#300", 44},     {"#$41", 'A'},    {"#0x41", 'A'},    {"#0X6a", 'j'},
               {"#xyz", 0},     {"#x41", 0},      {"# 65", 'A'},    {"#\t66", 'B'},    {"#+67", 'C'},
               {"#-1", 255},    {"#-$1", 255},    {"#65 ", 0},      {"##", 0},         {"#$", 0},
               {"#0x", 0},      {"#-", 0},        {"#--1", 0},      {"#$FFFFFFFF", 255}, {"#$100000000", 0},
               {"#2147483647", 255}, {"#2147483648", 0}, {"#-2147483391", 1}, {"#-2147483649", 0}};
  for (const Case& C : Cases) EXPECT_EQ(static_cast<unsigned char>(CharFromText(C.Text)), C.Code) << C.Text;
}

TEST(TextFormsTest, IntegerTextRules) {
  struct Case {
    const char* Text;
    bool Valid;
    int32_t Value;
  } Cases[] = {{"0", true, 0},           {"-2147483648", true, INT32_MIN}, {"2147483647", true, INT32_MAX},
               {"$7FFFFFFF", true, INT32_MAX}, {"$80000000", true, INT32_MIN}, {"0xffffffff", true, -1},
               {"-$10", true, -16},      {"  12", true, 12},             {"+5", true, 5},
               {"2147483648", false, 0}, {"-2147483649", false, 0},      {"12 ", false, 0},
               {"", false, 0},           {" ", false, 0},                {"+", false, 0},
               {"1e3", false, 0},        {"$G", false, 0},               {"0x", false, 0}};
  for (const Case& C : Cases) {
    int32_t V = 12345;
    EXPECT_EQ(TryStrToInt(C.Text, V), C.Valid) << C.Text;
    if (C.Valid) {
      EXPECT_EQ(V, C.Value) << C.Text;
    }
  }
}

}  // namespace
