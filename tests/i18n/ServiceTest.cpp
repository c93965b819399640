#include <gtest/gtest.h>

#include <filesystem>

#include "I18nTestSupport.h"
#include "gnugettext.h"

// The test program's own folder holds locale/de/LC_MESSAGES/{default,cport}.mo, made at build time.

namespace {

class Service : public ::testing::Test {
 protected:
  void TearDown() override { StopGnuGettext(); }
  TEnvironment environment_;
};

}  // namespace

TEST_F(Service, StartUpFindsTheCatalogBesideTheProgram) {
  environment_.Set("LANG", "de_DE.UTF-8");
  StartGnuGettext();
  TGnuGettextInstance* translator = GnuGettext();
  ASSERT_NE(translator, nullptr);
  EXPECT_EQ(translator->CurrentLanguage(), "de_DE");
  EXPECT_EQ(translator->CurrentDomain(), "default");
  EXPECT_TRUE(std::filesystem::equivalent(translator->BaseDirectory(),
                                          std::filesystem::path(I18N_TEST_CATALOGS) / ".." / "locale"));
  // Only locale/de exists: found through the two-letter form of de_DE.
  EXPECT_EQ(TranslateText("Unable to open com port"), "COM-Port kann nicht geöffnet werden");
  EXPECT_EQ(TranslateText(" (win error code: %d)"), " (Windows-Fehlercode: %d)");
  EXPECT_EQ(TranslateText("Line one\nLine two"), "Zeile eins\r\nZeile zwei");

  StopGnuGettext();
  EXPECT_EQ(GnuGettext(), nullptr);
  EXPECT_EQ(TranslateText("Cancel"), "Cancel");
}

TEST_F(Service, BuiltInTextsTryDefaultBeforeCport) {
  environment_.Set("LANG", "de");
  StartGnuGettext();
  AddResourceDomain("cport");
  EXPECT_EQ(TranslateResourceText("Both domains"), "Beide: default");
  EXPECT_EQ(TranslateResourceText("Only cport"), "Nur cport");
  EXPECT_EQ(TranslateResourceText("Cancel"), "Abbrechen");
  // Serial texts are translated in "default" only, never through "cport".
  EXPECT_EQ(TranslateText("Only cport"), "Only cport");

  StopGnuGettext();
  EXPECT_EQ(TranslateResourceText("Cancel"), "Cancel");
  StartGnuGettext();
  EXPECT_EQ(TranslateResourceText("Cancel"), "Abbrechen");
  EXPECT_EQ(TranslateResourceText("Only cport"), "Only cport") << "a new start begins with default alone";
}

TEST_F(Service, OutsideStartUpAndShutDownTextsPassUnchanged) {
  environment_.Set("LANG", "de");
  EXPECT_EQ(GnuGettext(), nullptr);
  AddResourceDomain("cport");
  EXPECT_EQ(TranslateText("Cancel\n"), "Cancel\n");
  EXPECT_EQ(TranslateResourceText("Cancel"), "Cancel");
  StartGnuGettext();
  TGnuGettextInstance* first = GnuGettext();
  StartGnuGettext();
  EXPECT_EQ(GnuGettext(), first) << "a second start-up keeps the translator";
}
