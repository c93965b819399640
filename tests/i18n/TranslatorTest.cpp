#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "I18nTestSupport.h"
#include "gnugettext.h"

namespace {

const std::string kNotUtf8 =
    "Error: Could not translate %. Probably because the mo file doesn't contain utf-8 encoded "
    "translations.";

class Translator : public ::testing::Test {
 protected:
  // A translator in language "de" over a scratch folder holding, for each (domain, catalog),
  // de/LC_MESSAGES/<domain>.mo copied from the catalogs made at build time.
  TGnuGettextInstance& German(const std::vector<std::pair<std::string, std::string>>& catalogs) {
    for (const auto& [domain, catalog] : catalogs) dir_.PutCatalog("de", domain, catalog);
    translator_ = std::make_unique<TGnuGettextInstance>(dir_.Path());
    translator_->SelectLanguage("de");
    return *translator_;
  }

  TScratchDir dir_;
  std::unique_ptr<TGnuGettextInstance> translator_;
};

}  // namespace

TEST_F(Translator, WithoutCatalogsOnlyLineEndsChange) {
  TGnuGettextInstance& translator = German({});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Unable to open com port", "Unable to open com port"},
      {" (win error code: %d)", " (win error code: %d)"},
      {"one\ntwo", "one\r\ntwo"},
      {"one\rtwo", "onetwo"},
      {"one\r\ntwo\n", "one\r\ntwo\r\n"},
      {"\n\n", "\r\n\r\n"},
      {"\r", ""},
      {"", ""},
      {"Grüße", "Grüße"},
      {"not \xff UTF-8", "not \xff UTF-8"},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(translator.TranslateText(text), expected) << text;
    EXPECT_EQ(translator.TranslateInDomain("cport", text), expected) << text;
  }
}

TEST_F(Translator, CarriageReturnsInBothDirections) {
  TGnuGettextInstance& translator = German({{"default", "line_ends.mo"}});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"A\r\nB", "X\r\nY"},  // looked up as A LF B
      {"A\nB", "X\r\nY"},    // translation X LF Y gains its CR
      {"A\rB", "AB"},
      {"P\nQ", "X\r\nY"},    // translation X CR LF Y stays so
      {"P\r\nQ", "X\r\nY"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(translator.TranslateText(text), expected);
}

TEST_F(Translator, FindsABAndCButNotBBAndNeverTheHeader) {
  TGnuGettextInstance& translator = German({{"default", "abc.mo"}});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a", "A"}, {"b", "B"}, {"c", "C"}, {"bb", "bb"}, {"", ""}, {"\r", ""}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(translator.TranslateText(text), expected);
}

TEST_F(Translator, TranslationsThatAreNotUtf8Fail) {
  dir_.Put("de/LC_MESSAGES/empty.mo", MakeMo({{"Lost", ""}, {"Kept", "Behalten"}}));
  TGnuGettextInstance& translator = German({{"default", "latin1.mo"}});
  auto message = [](const std::string& text) {
    std::string m = kNotUtf8;
    return m.replace(m.find('%'), 1, text);
  };
  EXPECT_EQ(ErrorOf([&] { translator.TranslateText("Greetings"); }), message("Greetings"));
  EXPECT_EQ(translator.TranslateText("Farewell"), "Farewell");
  EXPECT_EQ(ErrorOf([&] { translator.TranslateInDomain("empty", "Lost\r"); }), message("Lost\r"));
  EXPECT_EQ(translator.TranslateInDomain("empty", "Kept"), "Behalten");
}

TEST_F(Translator, WrongMagicFailsAtTheDomainsFirstText) {
  const std::string path = dir_.Put("de/LC_MESSAGES/default.mo", std::string(64, 'x'));
  TGnuGettextInstance& translator = German({});
  EXPECT_EQ(ErrorOf([&] { translator.TranslateText("a\nb"); }),
            "This file is not a valid GNU gettext mo file: " + path);
  EXPECT_EQ(translator.TranslateText("a\nb"), "a\r\nb");
}

TEST_F(Translator, DomainsAreFoundWithoutRegardToCase) {
  TScratchDir other;
  other.PutCatalog("de", "default", "default_de.mo");
  TGnuGettextInstance& translator = German({});
  translator.SetDomainDirectory("DEFAULT", other.Path());
  EXPECT_EQ(translator.TranslateInDomain("Default", "Cancel"), "Abbrechen");
  translator.SetCurrentDomain("nowhere");
  EXPECT_EQ(translator.CurrentDomain(), "nowhere");
  EXPECT_EQ(translator.TranslateText("Cancel"), "Cancel");
}

TEST_F(Translator, SelectLanguageReachesEveryDomain) {
  TGnuGettextInstance& translator = German({{"default", "default_de.mo"}, {"cport", "cport_de.mo"}});
  translator.SelectLanguage("fr_FR");
  EXPECT_EQ(translator.TranslateText("Cancel"), "Cancel");
  EXPECT_EQ(translator.TranslateInDomain("cport", "Only cport"), "Only cport");
  translator.SelectLanguage("de_AT");
  EXPECT_EQ(translator.CurrentLanguage(), "de_AT");
  EXPECT_EQ(translator.TranslateText("Cancel"), "Abbrechen");
  EXPECT_EQ(translator.TranslateInDomain("cport", "Only cport"), "Nur cport");
}

TEST_F(Translator, LanguageNamesNeverLeaveTheCatalogFolder) {
  // Where "..", "../x" or "a/../.." as a language would lead from <scratch>/locale.
  dir_.Put("LC_MESSAGES/default.mo", ReadFile(CatalogFile("default_de.mo")));
  dir_.Put("x/LC_MESSAGES/default.mo", ReadFile(CatalogFile("default_de.mo")));
  TGnuGettextInstance translator(dir_.Path() + "/locale");
  for (const char* language : {"..", "../x", ".", ".x", "/x", dir_.Path().c_str(), "a/../..", "de\n"}) {
    translator.SelectLanguage(language);
    EXPECT_EQ(translator.CurrentLanguage(), "C") << language;
    EXPECT_EQ(translator.TranslateText("Cancel"), "Cancel") << language;
  }
}

TEST_F(Translator, BuiltInTextsTryDefaultBeforeCport) {
  TGnuGettextInstance& translator = German({{"default", "default_de.mo"}, {"cport", "cport_de.mo"}});
  EXPECT_EQ(translator.TranslateResourceText("Only cport"), "Only cport");
  translator.AddResourceDomain("cport");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Both domains", "Beide: default"},
      {"Only cport", "Nur cport"},
      {"Only default", "Nur default"},
      {"Neither", "Neither"},
      {"Two\nlines", "Zwei\r\nZeilen"},       // untranslated by "default" despite its new CR
      {"Not\ntranslated", "Not\ntranslated"},  // no domain translates: the text as given
      {"", ""},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(translator.TranslateResourceText(text), expected) << text;
}

// Run under ThreadSanitizer by scripts/test: translating threads while the language and the
// domain table change.
TEST_F(Translator, TranslatesFromManyThreadsWhileSettingsChange) {
  TGnuGettextInstance& translator = German({{"default", "default_de.mo"}, {"cport", "cport_de.mo"}});
  translator.AddResourceDomain("cport");
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 3; ++t) {
    readers.emplace_back([&, t] {
      while (!stop) {
        const std::string cancel = translator.TranslateText("Cancel");
        if (cancel != "Abbrechen" && cancel != "Cancel") ++wrong;
        const std::string cport = translator.TranslateResourceText("Only cport");
        if (cport != "Nur cport" && cport != "Only cport") ++wrong;
        translator.TranslateInDomain("thread" + std::to_string(t), "x");
      }
    });
  }
  for (int i = 0; i < 200; ++i) {
    translator.SelectLanguage(i % 2 ? "de" : "fr");
    translator.SetDomainDirectory("domain" + std::to_string(i), dir_.Path());
    if (i % 50 == 0) translator.AddResourceDomain("extra" + std::to_string(i));
  }
  stop = true;
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(wrong, 0);
}
