#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "I18nTestSupport.h"
#include "gnugettext.h"

namespace {

std::string ErrorOf(TGnuGettextInstance& translator, const std::string& domain,
                    const std::string& text) {
  try {
    translator.TranslateInDomain(domain, text);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(Translator, WithoutCatalogsOnlyLineEndsChange) {
  TScratchDir dir;
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
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

TEST(Translator, CarriageReturnsInBothDirections) {
  TScratchDir dir;
  dir.PutCatalog("de", "default", "line_ends.mo");
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"A\r\nB", "X\r\nY"},  // looked up as A LF B
      {"A\nB", "X\r\nY"},    // translation X LF Y gains its CR
      {"A\rB", "AB"},
      {"P\nQ", "X\r\nY"},    // translation X CR LF Y stays so
      {"P\r\nQ", "X\r\nY"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(translator.TranslateText(text), expected);
}

TEST(Translator, EmptyTextNeverReturnsTheCatalogHeader) {
  TScratchDir dir;
  dir.PutCatalog("de", "default", "abc.mo");
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
  EXPECT_EQ(translator.TranslateText(""), "");
  EXPECT_EQ(translator.TranslateText("\r"), "");
  EXPECT_EQ(translator.TranslateText("a"), "A");
  EXPECT_EQ(translator.TranslateText("bb"), "bb");
}

TEST(Translator, TranslationThatIsNotUtf8Fails) {
  TScratchDir dir;
  dir.PutCatalog("de", "default", "latin1.mo");
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
  EXPECT_EQ(ErrorOf(translator, "default", "Greetings"),
            "Error: Could not translate Greetings. Probably because the mo file doesn't contain "
            "utf-8 encoded translations.");
  EXPECT_EQ(translator.TranslateText("Farewell"), "Farewell");
}

TEST(Translator, EmptyTranslationOfATextFails) {
  TScratchDir dir;
  dir.Put("de/LC_MESSAGES/default.mo", MakeMo({{"Lost", ""}}));
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
  EXPECT_EQ(ErrorOf(translator, "default", "Lost"),
            "Error: Could not translate Lost. Probably because the mo file doesn't contain "
            "utf-8 encoded translations.");
}

TEST(Translator, WrongMagicFailsAtTheDomainsFirstText) {
  TScratchDir dir;
  const std::string path = dir.Put("de/LC_MESSAGES/default.mo", std::string(64, 'x'));
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
  EXPECT_EQ(ErrorOf(translator, "default", "a\nb"),
            "This file is not a valid GNU gettext mo file: " + path);
  EXPECT_EQ(translator.TranslateText("a\nb"), "a\r\nb");
}

TEST(Translator, DomainsAreFoundWithoutRegardToCase) {
  TScratchDir dir;
  TScratchDir other;
  other.PutCatalog("de", "default", "default_de.mo");
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
  translator.SetDomainDirectory("DEFAULT", other.Path());
  EXPECT_EQ(translator.TranslateInDomain("Default", "Cancel"), "Abbrechen");
  translator.SetCurrentDomain("nowhere");
  EXPECT_EQ(translator.CurrentDomain(), "nowhere");
  EXPECT_EQ(translator.TranslateText("Cancel"), "Cancel");
}

TEST(Translator, SelectLanguageReachesEveryDomain) {
  TScratchDir dir;
  dir.PutCatalog("de", "default", "default_de.mo");
  dir.PutCatalog("de", "cport", "cport_de.mo");
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("fr_FR");
  EXPECT_EQ(translator.TranslateText("Cancel"), "Cancel");
  EXPECT_EQ(translator.TranslateInDomain("cport", "Only cport"), "Only cport");
  translator.SelectLanguage("de_AT");
  EXPECT_EQ(translator.CurrentLanguage(), "de_AT");
  EXPECT_EQ(translator.TranslateText("Cancel"), "Abbrechen");
  EXPECT_EQ(translator.TranslateInDomain("cport", "Only cport"), "Nur cport");
}

TEST(Translator, LanguageNamesNeverLeaveTheCatalogFolder) {
  TScratchDir dir;
  const std::string base = dir.Path() + "/locale";
  // Where "..", "../x" or "/abs" as a language would lead.
  dir.Put("LC_MESSAGES/default.mo", ReadFile(CatalogFile("default_de.mo")));
  dir.Put("x/LC_MESSAGES/default.mo", ReadFile(CatalogFile("default_de.mo")));
  TGnuGettextInstance translator(base);
  for (const char* language : {"..", "../x", ".", ".x", "/x", dir.Path().c_str(), "a/../..", "de\n"}) {
    translator.SelectLanguage(language);
    EXPECT_EQ(translator.CurrentLanguage(), "C") << language;
    EXPECT_EQ(translator.TranslateText("Cancel"), "Cancel") << language;
  }
}

TEST(Translator, BuiltInTextsTryDefaultBeforeCport) {
  TScratchDir dir;
  dir.PutCatalog("de", "default", "default_de.mo");
  dir.PutCatalog("de", "cport", "cport_de.mo");
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
  EXPECT_EQ(translator.TranslateResourceText("Only cport"), "Only cport");
  translator.AddResourceDomain("cport");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Both domains", "Beide: default"},
      {"Only cport", "Nur cport"},
      {"Only default", "Nur default"},
      {"Neither", "Neither"},
      {"Two\nlines", "Zwei\r\nZeilen"},      // untranslated by "default" despite its new CR
      {"Not\ntranslated", "Not\ntranslated"}, // no domain translates: the text as given
      {"", ""},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(translator.TranslateResourceText(text), expected) << text;
}

// Run under ThreadSanitizer by scripts/test: translating threads while the language and the
// domain table change.
TEST(Translator, TranslatesFromManyThreadsWhileSettingsChange) {
  TScratchDir dir;
  dir.PutCatalog("de", "default", "default_de.mo");
  dir.PutCatalog("de", "cport", "cport_de.mo");
  TGnuGettextInstance translator(dir.Path());
  translator.SelectLanguage("de");
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
    translator.SetDomainDirectory("domain" + std::to_string(i), dir.Path());
    if (i % 50 == 0) translator.AddResourceDomain("extra" + std::to_string(i));
  }
  stop = true;
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(wrong, 0);
}
