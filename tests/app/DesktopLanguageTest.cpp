// The program's standard buttons and file dialogs on a Turkish and on an English desktop: the
// probe runs in a fresh process whose whole locale environment is set here, with the Turkish
// locale generated into the build tree.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>
#include <map>

namespace {

using TLines = std::map<std::string, std::string>;

TLines RunProbe(const std::string& lang) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const QString& name : environment.keys())
    if (name == "LANGUAGE" || name.startsWith("LC_")) environment.remove(name);
  environment.insert("LANG", QString::fromStdString(lang));
  environment.insert("LOCPATH", VARO_TEST_LOCALES);
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  QProcess probe;
  probe.setProcessEnvironment(environment);
  probe.start(VARO_TEST_PROBE, {});
  if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0) {
    ADD_FAILURE() << "the probe failed: " << probe.readAllStandardError().toStdString();
    return {};
  }
  TLines lines;
  for (const QString& line : QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
    lines[line.section('=', 0, 0).toStdString()] = line.section('=', 1).toStdString();
  return lines;
}

}  // namespace

TEST(DesktopLanguage, CloseQuestionAndSaveDialogSpeakTheDesktopsLanguage) {
  const std::pair<std::string, TLines> cases[] = {
      {"tr_TR.UTF-8",
       {{"messages-locale", "tr_TR.UTF-8"},
        {"language", "tr_TR"},
        {"question", "Ayarlarınız Kaydedilsin mi?"},
        {"yes", "Evet"},
        {"no", "Hayır"},
        {"cancel", "İptal"},
        {"window-open", "1"},
        {"file-name", "Dosya adı:"},
        {"file-accept", "Kaydet"},
        {"file-reject", "İptal"}}},
      {"C",
       {{"messages-locale", "C"},
        {"language", "C"},
        {"question", "Ayarlarınız Kaydedilsin mi?"},
        {"yes", "Yes"},
        {"no", "No"},
        {"cancel", "Cancel"},
        {"window-open", "1"},
        {"file-name", "File name:"},
        {"file-accept", "Save"},
        {"file-reject", "Cancel"}}},
  };
  for (const auto& [lang, expected] : cases) {
    SCOPED_TRACE(lang);
    EXPECT_EQ(RunProbe(lang), expected);
  }
}
