// What a technician reads in the window when the port fails, in the user's language: Turkish
// under LANG=tr_TR.UTF-8 with the program's own catalogs, the English source texts under LANG=C.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "LinkFixture.h"
#include "ScopedEnvironment.h"
#include "shell/StartUp.h"

namespace {

class PortMessagesTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    Window->BitBtn2Click();
  }
  // The message a write shows.
  QString WriteMessage() {
    Dialogs->Calls.clear();
    Run([&] { Window->BtnWriteClick(); });
    return Dialogs->Calls.empty() ? QString("(nothing shown)") : Dialogs->Calls.back().Text;
  }
};

}  // namespace

TEST_F(PortMessagesTest, AMissingABusyAndALostPortSpeakTheUsersLanguage) {
  const struct {
    const char* Lang;
    const char* Missing;
    const char* Busy;  // %1: the port
    const char* Lost;
  } cases[] = {
      {"tr_TR.UTF-8", "Port açılamadı (sistem hata kodu: 2)",
       "Port açılamadı (sistem hata kodu: 11)\nPort başka bir programda açık; o programı kapatın. Portu kimin "
       "tuttuğunu 'fuser -v %1' gösterir.",
       "Porta yazılamadı (sistem hata kodu: 5)\nHat yazma sırasında koptu: gösterge şimdi yarım bir görüntü tutuyor. "
       "Bağlantıyı denetleyip yeniden yazın."},
      {"C", "Unable to open com port (win error code: 2)",
       "Unable to open com port (win error code: 11)\nAnother program holds the port; close it. 'fuser -v %1' shows "
       "which one.",
       "WriteFile function failed (win error code: 5)\nThe line was lost during the write: the indicator now holds a "
       "partial image. Check the connection and write again."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Lang);
    TScopedEnvironment environment;
    environment.Set("LANG", c.Lang);
    environment.Set("LANGUAGE", std::nullopt);
    environment.Set("LC_ALL", std::nullopt);
    environment.Set("LC_MESSAGES", std::nullopt);
    const TVaroStartUp startUp(VARO_CATALOG_DIR);

    Window->TypePortName("/nonexistent/ttyVARO");
    EXPECT_EQ(WriteMessage(), QString::fromUtf8(c.Missing));

    StartIndicator();
    const int held = ::open(Sim->Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(WriteMessage(), QString::fromUtf8(c.Busy).arg(QString::fromStdString(Sim->Path())));
    ::close(held);

    sim::Behaviour hangUp;
    hangUp.Fault = sim::Fault::HangUpInWrite;
    hangUp.HangUpAfter = 10;
    StartIndicator(hangUp);
    EXPECT_EQ(WriteMessage(), QString::fromUtf8(c.Lost));
    Window->ComPort1.Close();
  }
}
