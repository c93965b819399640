// Start-up and shut-down around the window: the translation service, then the serial error
// texts built translated; undone in the reverse order. Catalogs lie beside this program in
// locale/: de (default and cport), fr (cport only), xx (Latin-1 translations).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>

#include "CPort.h"
#include "ScopedEnvironment.h"
#include "shell/StartUp.h"
#include "shell/VaroApplication.h"
#include "gnugettext.h"

namespace {

TVaroApplication* App() { return static_cast<TVaroApplication*>(qApp); }

// The message the application's error display shows for what command throws.
std::string ShownError(const std::function<void()>& command) {
  std::string shown = "(nothing shown)";
  App()->SetErrorDisplay([&](const QString& message) { shown = message.toStdString(); });
  App()->RunGuarded(command);
  App()->SetErrorDisplay(nullptr);
  return shown;
}

}  // namespace

TEST(StartUp, TranslatesTheErrorTableAfterTheServiceAndUndoesBothInReverse) {
  TScopedEnvironment environment;
  environment.Set("LANG", "de_DE.UTF-8");
  ASSERT_EQ(GnuGettext(), nullptr);
  {
    const TVaroStartUp startUp;
    EXPECT_EQ(startUp.Language(), "de_DE");
    ASSERT_EQ(PortErrorTexts().size(), 24u);
    EXPECT_EQ(PortErrorTexts()[1], "COM-Port kann nicht geöffnet werden");
    EXPECT_EQ(PortErrorTexts()[23], "Registry error") << "a text the catalog lacks stays English";
    EXPECT_EQ(TranslatePortText(" (win error code: %d)"), " (Windows-Fehlercode: %d)");
    EXPECT_EQ(TranslateResourceText("Only cport"), "Nur cport") << "\"cport\" is a domain for built-in texts";
  }
  EXPECT_EQ(GnuGettext(), nullptr);
  EXPECT_TRUE(PortErrorTexts().empty());
  EXPECT_EQ(TranslatePortText(" (win error code: %d)"), " (win error code: %d)");
  EXPECT_EQ(TranslateText("Unable to open com port"), "Unable to open com port");
  EXPECT_EQ(TranslateResourceText("Cancel"), "Cancel");
  EXPECT_EQ(EComPort(1, 2).Message(), "Unable to open com port (win error code: 2)");
}

TEST(StartUp, OpeningAMissingPortShowsTheDefaultDomainsTranslations) {
  struct TCase {
    const char* Lang;
    const char* CportSays;  // what the "cport" catalog makes of the text, unused for the message
    const char* Shown;
  };
  const TCase cases[] = {
      {"de_DE.UTF-8", "cport: COM-Port", "COM-Port kann nicht geöffnet werden (Windows-Fehlercode: 2)"},
      {"fr_FR.UTF-8", "Impossible d'ouvrir le port COM", "Unable to open com port (win error code: 2)"},
      {"C", "Unable to open com port", "Unable to open com port (win error code: 2)"},
  };
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string missing = dir.filePath("ttyVaroMissing").toStdString();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Lang);
    TScopedEnvironment environment;
    environment.Set("LANG", c.Lang);
    const TVaroStartUp startUp;
    EXPECT_EQ(GnuGettext()->TranslateInDomain("cport", "Unable to open com port"), c.CportSays);

    TComPort port;
    port.SetPort(missing);
    EXPECT_EQ(ShownError([&] { port.Open(); }), c.Shown);
    try {
      port.Open();
      ADD_FAILURE() << "opened " << missing;
    } catch (const EComPort& e) {
      EXPECT_EQ(e.ComErrorCode(), 1);
      EXPECT_EQ(e.SystemErrorCode(), 2);
    }
    EXPECT_FALSE(port.Connected());
  }
}

TEST(StartUp, ACatalogThatCannotTranslateLeavesTheEnglishTextAndSaysWhy) {
  TScopedEnvironment environment;
  environment.Set("LANG", "xx");
  testing::internal::CaptureStderr();
  std::optional<TVaroStartUp> startUp;
  EXPECT_NO_THROW(startUp.emplace());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_THAT(said, testing::HasSubstr("Error: Could not translate Unable to open com port. Probably because the mo "
                                       "file doesn't contain utf-8 encoded translations."));
  ASSERT_EQ(PortErrorTexts().size(), 24u);
  EXPECT_EQ(PortErrorTexts()[1], "Unable to open com port");
  EXPECT_EQ(EComPort(1, 2).Message(), "Unable to open com port (Fehlercode: 2)") << "the rest stays translated";
}
