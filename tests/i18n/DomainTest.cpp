#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "I18nTestSupport.h"
#include "gnugettext.h"

namespace {

std::optional<std::string> Lookup(TDomain& domain, const std::string& text) {
  std::optional<std::string> result;
  domain.Lookup(text, [&](std::string_view found) { result = std::string(found); });
  return result;
}

std::string LookupError(TDomain& domain) {
  return ErrorOf([&] { Lookup(domain, "Cancel"); });
}

}  // namespace

TEST(Domain, SearchesTheLanguageThenItsTwoLetterForm) {
  TScratchDir dir;
  const std::string de = dir.PutCatalog("de", "default", "default_de.mo");
  TDomain domain("default", dir.Path(), "de_DE", nullptr);
  EXPECT_EQ(Lookup(domain, "Unable to open com port").value_or("?"),
            "COM-Port kann nicht geöffnet werden");
  EXPECT_EQ(domain.CatalogPath(), de);

  const std::string deDE = dir.PutCatalog("de_DE", "default", "default_de_DE.mo");
  domain.SetLanguage("de_DE");
  EXPECT_EQ(Lookup(domain, "Unable to open com port").value_or("?"),
            "COM-Port kann nicht geöffnet werden (de_DE)");
  EXPECT_EQ(domain.CatalogPath(), deDE);
  EXPECT_FALSE(Lookup(domain, "Cancel")) << "only the first catalog found is used";
}

TEST(Domain, RemembersAFailedSearchUntilASettingChanges) {
  TScratchDir dir;
  TDomain domain("default", dir.Path() + "/", "de", nullptr);
  EXPECT_FALSE(Lookup(domain, "Cancel"));
  dir.PutCatalog("de", "default", "default_de.mo");
  EXPECT_FALSE(Lookup(domain, "Cancel"));
  domain.SetDirectory(dir.Path());
  EXPECT_EQ(Lookup(domain, "Cancel").value_or("?"), "Abbrechen");

  domain.SetLanguage("fr");
  EXPECT_FALSE(Lookup(domain, "Cancel"));
  EXPECT_EQ(domain.CatalogPath(), "");
}

TEST(Domain, BadCatalogsFailLikeAWrongMagicAndThenTranslateNothing) {
  std::string wrongMagic = ReadFile(CatalogFile("default_de.mo"));
  wrongMagic[0] = 'X';
  std::string hugeCount = ReadFile(CatalogFile("default_de.mo"));
  hugeCount[8] = hugeCount[9] = hugeCount[10] = hugeCount[11] = '\xff';
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"wrong magic", wrongMagic},
      {"huge N", hugeCount},
      {"shorter than a header", ReadFile(CatalogFile("default_de.mo")).substr(0, 27)},
      {"empty file", ""},
  };
  for (const auto& [what, bytes] : cases) {
    TScratchDir dir;
    const std::string path = dir.Put("de/LC_MESSAGES/default.mo", bytes);
    TDomain domain("default", dir.Path(), "de", nullptr);
    EXPECT_EQ(LookupError(domain), "This file is not a valid GNU gettext mo file: " + path)
        << what;
    EXPECT_EQ(LookupError(domain), "(no error)") << what;
    EXPECT_FALSE(Lookup(domain, "Cancel")) << what;
    domain.SetLanguage("de");
    EXPECT_EQ(LookupError(domain), "This file is not a valid GNU gettext mo file: " + path)
        << what << ": searched again after a change";
  }
}

TEST(Domain, AFileThatCannotBeOpenedIsTriedAgain) {
  TScratchDir dir;
  const std::string path = dir.Path() + "/de/LC_MESSAGES/default.mo";
  std::filesystem::create_directories(dir.Path() + "/de/LC_MESSAGES");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  TDomain domain("default", dir.Path(), "de", nullptr);
  EXPECT_EQ(LookupError(domain), "Cannot open file " + path);
  EXPECT_EQ(LookupError(domain), "Cannot open file " + path);

  ASSERT_EQ(unlink(path.c_str()), 0);
  dir.PutCatalog("de", "default", "default_de.mo");
  EXPECT_EQ(Lookup(domain, "Cancel").value_or("?"), "Abbrechen");
}

// A catalog is read whole when it opens: a file cut short or rewritten in place meanwhile (as cp
// or msgfmt -o over it do) changes nothing until the domain opens it again.
TEST(Domain, ACatalogCutShortOrRewrittenWhileInUseKeepsTranslatingAsOpened) {
  struct TCase {
    const char* catalog;
    const char* text;
    const char* translation;
    long keep;  // bytes left; negative: that many fewer than the file has
  };
  const TCase cases[] = {
      {"default_de.mo", "Cancel", "Abbrechen", 0},
      {"large.mo", "Stop file 4065", "Übersetzt: 5604 elif potS ✓", 4096},
      {"large.mo", "Stop file 4065", "Übersetzt: 5604 elif potS ✓", -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.catalog) + " cut to " + std::to_string(c.keep));
    TScratchDir dir;
    const std::string path = dir.PutCatalog("de", "default", c.catalog);
    const std::string bytes = ReadFile(path);
    TGnuGettextInstance translator(dir.Path());
    translator.SelectLanguage("de");
    ASSERT_EQ(translator.TranslateText(c.text), c.translation);

    const long keep = c.keep < 0 ? long(bytes.size()) + c.keep : c.keep;
    ASSERT_EQ(truncate(path.c_str(), keep), 0);
    EXPECT_EQ(translator.TranslateText(c.text), c.translation);
    {
      std::ofstream rewrite(path, std::ios::binary | std::ios::in | std::ios::out);
      rewrite << ReadFile(CatalogFile("default_de_DE.mo"));
    }
    EXPECT_EQ(translator.TranslateText(c.text), c.translation);

    translator.SelectLanguage("de");
    EXPECT_EQ(translator.TranslateText("Unable to open com port"), "COM-Port kann nicht geöffnet werden (de_DE)")
        << "read again after a change";
  }
}

TEST(Domain, ACatalogAboveTheLargestSizeIsRefusedAndLookedAtAgain) {
  TScratchDir dir;
  const std::string path = dir.PutCatalog("de", "default", "default_de.mo");
  const std::string bytes = ReadFile(path);
  ASSERT_EQ(truncate(path.c_str(), off_t(TDomain::kMaxCatalogSize) + 1), 0);  // sparse
  TDomain domain("default", dir.Path(), "de", nullptr);
  EXPECT_EQ(LookupError(domain), "The catalog file " + path + " is larger than 16 MiB; it is not read");
  ASSERT_EQ(truncate(path.c_str(), off_t(bytes.size())), 0);
  EXPECT_EQ(Lookup(domain, "Cancel").value_or("?"), "Abbrechen");
}

TEST(Domain, ACatalogThatGrowsWhileInUseKeepsTranslating) {
  TScratchDir dir;
  const std::string path = dir.PutCatalog("de", "default", "default_de.mo");
  TDomain domain("default", dir.Path(), "de", nullptr);
  EXPECT_EQ(Lookup(domain, "Cancel").value_or("?"), "Abbrechen");
  dir.Put("de/LC_MESSAGES/default.mo", ReadFile(path) + std::string(10000, 'x'));
  testing::internal::CaptureStderr();
  EXPECT_EQ(Lookup(domain, "Cancel").value_or("?"), "Abbrechen");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
