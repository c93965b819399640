#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "I18nTestSupport.h"
#include "gnugettext.h"

// Every msgid of each catalog must translate as Python's gettext module does (its dumps are made
// at build time): the catalogs made with msgfmt in both byte orders and one shipped by Debian.

namespace {

std::string FromHex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(char(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

}  // namespace

TEST(Oracle, EveryMsgidTranslatesAsPythonGettextDoes) {
  std::ifstream manifest(I18N_TEST_ORACLE_MANIFEST);
  std::string line;
  int catalogs = 0;
  while (std::getline(manifest, line)) {
    const size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos);
    const std::string mo = line.substr(0, tab), dump = line.substr(tab + 1);
    TScratchDir dir;
    std::filesystem::create_directories(dir.Path() + "/xx/LC_MESSAGES");
    std::filesystem::create_symlink(mo, dir.Path() + "/xx/LC_MESSAGES/oracle.mo");
    TGnuGettextInstance translator(dir.Path());
    translator.SelectLanguage("xx");

    std::ifstream expected(dump);
    std::string entry;
    size_t entries = 0;
    while (std::getline(expected, entry)) {
      std::istringstream fields(entry);
      std::string msgid, translation;
      fields >> msgid >> translation;
      msgid = FromHex(msgid);
      ASSERT_EQ(translator.TranslateInDomain("oracle", msgid),
                InsertCarriageReturns(FromHex(translation)))
          << mo << ": " << msgid;
      ++entries;
    }
    EXPECT_GT(entries, 100u) << mo;
    ++catalogs;
  }
  EXPECT_GE(catalogs, 2);
}
