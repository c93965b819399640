#include <gtest/gtest.h>

#include <ostream>

#include "I18nTestSupport.h"
#include "CatalogFile.h"
#include "gnugettext.h"

// LANGUAGE, LC_ALL, LC_MESSAGES and LANG as a process gets them; unset where not given.
struct TLocaleCase {
  std::optional<std::string> language, lcAll, lcMessages, lang;
  const char* expected;   // the translator's language
  const char* cancel;     // "Cancel" through the catalog chosen: de, tr, en or none
};

void PrintTo(const TLocaleCase& c, std::ostream* out) {
  *out << "LANGUAGE=" << c.language.value_or("-") << " LC_ALL=" << c.lcAll.value_or("-")
       << " LC_MESSAGES=" << c.lcMessages.value_or("-") << " LANG=" << c.lang.value_or("-");
}

TEST(Language, ChosenAsPosixAndGnuGettextDo) {
  using V = std::optional<std::string>;
  TScratchDir dir;
  dir.PutCatalog("de", "default", "default_de.mo");
  dir.Put("tr/LC_MESSAGES/default.mo", MakeMo({{"Cancel", "İptal"}}));
  dir.Put("en/LC_MESSAGES/default.mo", MakeMo({{"Cancel", "Cancel [en]"}}));
  const std::vector<TLocaleCase> cases = {
      // LC_ALL over LC_MESSAGES over LANG
      {V(), "C", V(), "tr_TR.UTF-8", "C", "Cancel"},
      {V(), V(), "en_US.UTF-8", "tr_TR.UTF-8", "en_US", "Cancel [en]"},
      {V(), "tr_TR.UTF-8", V(), "en_US.UTF-8", "tr_TR", "İptal"},
      {V(), "tr_TR.ISO-8859-9", "de_DE", "en_US", "tr_TR", "İptal"},
      {V(), "", "de_DE.UTF-8", "tr_TR", "de_DE", "Abbrechen"},
      {V(), V(), V(), "de_DE.UTF-8", "de_DE", "Abbrechen"},
      {V(), V(), V(), "", "C", "Cancel"},
      {V(), V(), V(), V(), "C", "Cancel"},
      // LANGUAGE first, unless the locale is C
      {"de:tr", V(), V(), "tr_TR.UTF-8", "de:tr", "Abbrechen"},
      {"fr:tr", V(), V(), "de_DE.UTF-8", "fr:tr", "İptal"},
      {"de_AT:tr", V(), V(), "tr_TR.UTF-8", "de_AT:tr", "Abbrechen"},
      {"fr_FR:it", V(), V(), "tr_TR.UTF-8", "fr_FR:it", "Cancel"},
      {"de:tr", "C", V(), "tr_TR.UTF-8", "C", "Cancel"},
      {"de:tr", "POSIX", V(), V(), "C", "Cancel"},
      {"de:tr", V(), "C.UTF-8", "tr_TR.UTF-8", "C", "Cancel"},
      {"de:tr", V(), V(), V(), "C", "Cancel"},
      {"", V(), V(), "tr_TR.UTF-8", "tr_TR", "İptal"},
      {"::", V(), V(), "tr_TR.UTF-8", "tr_TR", "İptal"},
      {"tr::de", V(), V(), "en_US.UTF-8", "tr:de", "İptal"},
      // codeset and modifier cut the same way everywhere
      {"sr@latin:de_DE.UTF-8", V(), V(), "tr_TR", "sr:de_DE", "Abbrechen"},
      {V(), V(), V(), "sr_RS@latin", "sr_RS", "Cancel"},
      {V(), V(), "pt_BR@euro", V(), "pt_BR", "Cancel"},
      {V(), "tr_TR.UTF-8@euro", V(), V(), "tr_TR", "İptal"},
      {V(), "deu_DE", V(), V(), "deu_DE", "Abbrechen"},
      // names that would leave the catalog folder
      {"../x:de", V(), V(), "tr_TR", "de", "Abbrechen"},
      {"/etc", V(), V(), "tr_TR", "tr_TR", "İptal"},
      {V(), V(), V(), "../../etc/x", "C", "Cancel"},
      {V(), "/etc/x", V(), "de_DE", "C", "Cancel"},
  };
  const auto blank = [](const std::optional<std::string>& v) { return !v || v->empty(); };
  for (const TLocaleCase& c : cases) {
    // Where the system names the user's language (Windows), it stands in for missing locale
    // variables: WindowsLanguage covers those rows there.
    if (blank(c.lcAll) && blank(c.lcMessages) && blank(c.lang) && !SystemLanguage().empty()) continue;
    SCOPED_TRACE(testing::PrintToString(c));
    TEnvironment environment;
    environment.Set("LANGUAGE", c.language);
    environment.Set("LC_ALL", c.lcAll);
    environment.Set("LC_MESSAGES", c.lcMessages);
    environment.Set("LANG", c.lang);
    TGnuGettextInstance translator(dir.Path());
    EXPECT_EQ(translator.CurrentLanguage(), c.expected);
    EXPECT_EQ(translator.TranslateText("Cancel"), c.cancel);
  }
}

TEST(Language, ChoiceNeedsNoEnvironment) {
  TLocaleEnvironment environment;
  environment.Language = "de:tr";
  EXPECT_EQ(ChooseLanguages(environment), (std::vector<std::string>{"C"}));
  environment.Lang = "tr_TR.UTF-8";
  EXPECT_EQ(ChooseLanguages(environment), (std::vector<std::string>{"de", "tr"}));
  environment.LcAll = "C.UTF-8";
  EXPECT_EQ(ChooseLanguages(environment), (std::vector<std::string>{"C"}));
}

TEST(Language, ExplicitCodeIsTakenAsGiven) {
  TScratchDir dir;
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de_DE.UTF-8");
  EXPECT_EQ(translator.CurrentLanguage(), "de_DE.UTF-8");
  translator.SelectLanguage("../de");
  EXPECT_EQ(translator.CurrentLanguage(), "C");
  translator.SelectLanguage("de:../x:tr_TR.UTF-8");
  EXPECT_EQ(translator.CurrentLanguage(), "de:tr_TR.UTF-8");
  translator.SelectLanguage("::");
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
