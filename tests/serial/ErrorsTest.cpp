#include <gtest/gtest.h>

#include <set>

#include "CPort.h"

namespace {

class ErrorsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetPortTextTranslator(nullptr);
    FreePortErrorTexts();
  }
};

TEST_F(ErrorsTest, WithSystemCodeTheMessageEndsInTheFilledSuffix) {
  const EComPort E(CError_OpenFailed, 2);
  EXPECT_EQ(E.ComErrorCode(), 1);
  EXPECT_EQ(E.SystemErrorCode(), 2);
  EXPECT_EQ(E.Message(), "Unable to open com port (win error code: 2)");
  EXPECT_STREQ(E.what(), E.Message().c_str());
}

TEST_F(ErrorsTest, WithoutSystemCodeTheMessageIsTheTableText) {
  const EComPort E(CError_ConnChangeProp);
  EXPECT_EQ(E.ComErrorCode(), 14);
  EXPECT_EQ(E.SystemErrorCode(), -1);
  EXPECT_EQ(E.Message(), "Cannot set property while connected");
  EXPECT_EQ(EComPort(CError_RegFailed).Message(), "Link (un)registration failed");
  EXPECT_EQ(EComPort(CError_InvalidAsync).Message(), "Invalid Async parameter");
}

TEST_F(ErrorsTest, TableHoldsTwentyThreeDistinctTextsBuiltThroughTheTranslator) {
  std::set<std::string> Seen;
  for (int Code = 1; Code <= PortErrorCount; ++Code) Seen.insert(PortErrorSourceText(Code));
  EXPECT_EQ(Seen.size(), 23u);
  EXPECT_EQ(Seen.count(""), 0u);
  EXPECT_STREQ(PortErrorSourceText(23), "Registry error");
  EXPECT_STREQ(PortErrorSourceText(0), "");
  EXPECT_STREQ(PortErrorSourceText(24), "");

  int Calls = 0;
  SetPortTextTranslator([&](const std::string& S) {
    ++Calls;
    return "<" + S + ">";
  });
  EXPECT_TRUE(PortErrorTexts().empty());
  InitPortErrorTexts();
  EXPECT_EQ(Calls, 23);
  ASSERT_EQ(PortErrorTexts().size(), 24u);
  EXPECT_EQ(PortErrorTexts()[18], "<Link (un)registration failed>");
  for (int Code = 1; Code <= PortErrorCount; ++Code)
    EXPECT_EQ(PortErrorText(Code), "<" + std::string(PortErrorSourceText(Code)) + ">");
  EXPECT_EQ(PortErrorText(24), "");

  FreePortErrorTexts();
  EXPECT_TRUE(PortErrorTexts().empty());
  EXPECT_EQ(PortErrorText(1), "Unable to open com port");
}

TEST_F(ErrorsTest, TableFollowsTheLanguageOfStartUpWhileTheSuffixIsTranslatedAtEachRaise) {
  SetPortTextTranslator([](const std::string& S) {
    if (S == "Unable to open com port") return std::string("Port açılamadı");
    if (S == " (win error code: %d)") return std::string(" (sistem hata kodu: %d)");
    return S;
  });
  InitPortErrorTexts();
  EXPECT_EQ(EComPort(1, 2).Message(), "Port açılamadı (sistem hata kodu: 2)");

  SetPortTextTranslator([](const std::string& S) {
    return S == " (win error code: %d)" ? std::string(" [%d]") : S;
  });
  EXPECT_EQ(EComPort(1, 13).Message(), "Port açılamadı [13]");
}

TEST_F(ErrorsTest, PercentSignsInTranslationsAreNeverFormatDirectives) {
  struct Case {
    const char* Pattern;
    int Code;
    const char* Expected;
  } Cases[] = {
      {"plain (code: %d)", 5, "plain (code: 5)"},
      {"100%% done (%d)", -1, "100% done (-1)"},
      {"%s %n %x %p (%d)", 7, "%s %n %x %p (7)"},
      {"twice %d and %d", 3, "twice 3 and %d"},
      {"trailing %", 1, "trailing %"},
      {"no directive", 9, "no directive"},
      {"%d%d%%", 42, "42%d%"},
  };
  for (const Case& C : Cases) EXPECT_EQ(FormatPortErrorMessage(C.Pattern, C.Code), C.Expected) << C.Pattern;

  SetPortTextTranslator([](const std::string& S) { return S == " (win error code: %d)" ? " %s%n (%d)" : S; });
  EXPECT_EQ(EComPort(2, 5).Message(), "WriteFile function failed %s%n (5)");
}

}  // namespace
