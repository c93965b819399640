// Which catalog a Windows user gets: the one LANG names, else the user's display language.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "../I18nTestSupport.h"
#include "gnugettext.h"

namespace {

class WindowsLanguage : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) environment_.Set(name, std::nullopt);
  }
  // A Turkish catalog in a folder of the given name.
  void PutCatalog(const std::string& folder) {
    base_ = scratch_.Path() + "/" + folder;
    scratch_.Put(folder + "/tr/LC_MESSAGES/default.mo", MakeMo({{"Yes", "Evet"}, {"Cancel", "İptal"}}));
  }
  void TearDown() override { StopGnuGettext(); }

  TEnvironment environment_;
  TScratchDir scratch_;
  std::string base_;
};

TEST_F(WindowsLanguage, LangNamesTheCatalog) {
  environment_.Set("LANG", "tr_TR.UTF-8");
  PutCatalog("Dil Kataloğu");
  StartGnuGettext(base_);
  EXPECT_EQ(GnuGettext()->CurrentLanguage(), "tr_TR");
  EXPECT_EQ(TranslateText("Cancel"), "İptal");
}

TEST_F(WindowsLanguage, WithoutLocaleVariablesTheUsersDisplayLanguageChooses) {
  const char* expected = std::getenv("VARO_EXPECT_SYSTEM_LANGUAGE");
  if (!expected) GTEST_SKIP() << "run by i18n_windows_display_language, with Wine's locale set to the expected one";
  EXPECT_EQ(DetectLanguage(), expected);
  // Wine names files in the Unix locale's character set, which a locale this machine lacks leaves
  // at ASCII: a plain folder name here.
  PutCatalog("Catalogs");
  StartGnuGettext(base_);
  EXPECT_EQ(TranslateText("Yes"), "Evet");
}

}  // namespace
