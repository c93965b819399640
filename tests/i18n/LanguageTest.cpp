#include <gtest/gtest.h>

#include "I18nTestSupport.h"
#include "gnugettext.h"

TEST(Language, DetectedFromLangElseTheUserLocale) {
  using V = std::optional<std::string>;
  struct TCase {
    V lang, lcAll, lcMessages;
    const char* expected;
  };
  const std::vector<TCase> cases = {
      {"de_DE.UTF-8", V(), V(), "de_DE"},
      {"de_DE.UTF-8", "tr_TR.UTF-8", V(), "de_DE"},
      {"tr_TR", V(), V(), "tr_TR"},
      {"sr_RS@latin", V(), V(), "sr_RS@latin"},
      {"C.UTF-8", V(), V(), "C"},
      {V(), "tr_TR.UTF-8", V(), "tr_TR"},
      {"", "tr_TR.ISO-8859-9", "de_DE", "tr_TR"},
      {V(), V(), "tr_TR.UTF-8", "tr_TR"},
      {V(), "", "pt_BR@euro", "pt_BR"},
      {V(), "de", V(), "de"},
      {V(), "C.UTF-8", V(), "C"},
      {V(), "POSIX", V(), "C"},
      {V(), "deu_DE", V(), "C"},
      {V(), "de_DEU", V(), "C"},
      {V(), V(), V(), "C"},
      {"../../etc/x", V(), V(), "C"},
      {"/etc/x", V(), V(), "C"},
  };
  for (const TCase& c : cases) {
    TEnvironment environment;
    environment.Set("LANG", c.lang);
    environment.Set("LC_ALL", c.lcAll);
    environment.Set("LC_MESSAGES", c.lcMessages);
    TScratchDir dir;
    TGnuGettextInstance translator(dir.Path());
    EXPECT_EQ(translator.CurrentLanguage(), c.expected)
        << c.lang.value_or("-") << " " << c.lcAll.value_or("-") << " " << c.lcMessages.value_or("-");
  }
}

TEST(Language, ExplicitCodeIsTakenAsGiven) {
  TScratchDir dir;
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de_DE.UTF-8");
  EXPECT_EQ(translator.CurrentLanguage(), "de_DE.UTF-8");
  translator.SelectLanguage("../de");
  EXPECT_EQ(translator.CurrentLanguage(), "C");
}

TEST(Text, Utf8Validity) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},
      {"plain", true},
      {"Grüße ığşİŞĞ", true},
      {"\xe2\x9c\x93", true},
      {"\xf0\x9f\x98\x80", true},
      {"\xf4\x8f\xbf\xbf", true},          // U+10FFFF
      {"\xed\x9f\xbf", true},              // U+D7FF
      {"\xff", false},
      {"\xc3", false},                     // cut short
      {"\xe2\x9c", false},
      {"\xc0\xaf", false},                 // overlong "/"
      {"\xe0\x80\xaf", false},
      {"\xf0\x80\x80\xaf", false},
      {"\xed\xa0\x80", false},             // surrogate
      {"\xf4\x90\x80\x80", false},         // above U+10FFFF
      {"\xf5\x80\x80\x80", false},
      {"a\x80", false},
      {"\xc3\xa4\xc3", false},
      {std::string("a\0b", 3), true},
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(IsValidUtf8(text), valid) << text;
}
