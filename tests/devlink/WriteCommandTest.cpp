// The device write (YAZ and F9) and the show-floor-numbers command against the simulated indicator.
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include "features/overview/AllFloors.h"
#include "LinkFixture.h"
#include "features/overview/Overview.h"
#include "ProjectSnapshot.h"
#include "core/SerialPorts.h"

namespace {

const QString Done = "Yazma İşlemi Tamamlandı...";

std::string Frames(int first, int last) {
  std::string bytes;
  for (int f = first; f <= last; ++f)
    for (uint8_t b : varo::FloorPattern(f).Bytes) bytes += static_cast<char>(b);
  return bytes;
}

// Pauses of a whole write of n frames: the command's, the handshake's, 60 ms per byte and the two between runs.
std::vector<int> WritePauses(int frames) {
  std::vector<int> p = {100, 200, 100};
  p.insert(p.end(), 4 * frames, 60);
  p.push_back(60);
  p.insert(p.end(), 244 - 4 * frames, 60);
  p.push_back(65);
  p.insert(p.end(), 12, 60);
  return p;
}

class WriteTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    StartIndicator();
  }
  void EditingMode() { QTest::mouseClick(Window->BitBtn2, Qt::LeftButton); }
  bool Stored(int count = 1) {
    return Sim->WaitUntil([&] { return Sim->Seen().Stored >= count; }, std::chrono::seconds(5));
  }
};

}  // namespace

TEST_F(WriteTest, DefaultProjectGoesOutByteByByte) {
  EditingMode();
  const auto before = Window->FrameTable;
  QTest::mouseClick(Window->BtnWrite, Qt::LeftButton);
  ASSERT_TRUE(Stored());
  const std::string expected = "y" + std::string("w") + Frames(0, 15) + std::string(180, '\xFF') +
                               std::string("\x08\x10\x02\x0E\x00", 5) + std::string(7, '\xFF');
  EXPECT_EQ(Received(), expected);
  EXPECT_EQ(Paused, WritePauses(16));
  // One step after each byte's pause: the bar shows the bytes whose pause has ended.
  std::vector<int> steps;
  for (size_t i = 0; i < Paused.size(); ++i)
    if (i >= 3 && Paused[i] == 60 && i != 3 + 64) steps.push_back(Bar[i]);
  ASSERT_EQ(steps.size(), 256u);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(steps[i], i);
  EXPECT_EQ(Progress->ProgressAtInfo, 256);
  ASSERT_EQ(Dialogs->Calls.size(), 1u);
  EXPECT_EQ(Dialogs->Calls[0].Kind, "Info");
  EXPECT_EQ(Dialogs->Calls[0].Caption, "VARO PROGRAMMER");
  EXPECT_EQ(Dialogs->Calls[0].Text, Done);
  EXPECT_EQ(Window->ProgressBar1->value(), 0);
  EXPECT_FALSE(Window->ComPort1.Connected());
  EXPECT_EQ(varo::ProbePort(Sim->Path()), 0) << "the port is let go";
  EXPECT_EQ(Window->FrameTable, before);
  EXPECT_FALSE(Window->Modified);
}

TEST_F(WriteTest, SixtyOneFramesBuzzerOnSevenSegment) {
  Window->SpeedButton1Click();
  Choose(Window->ilkkat, 8);                              // 0
  Choose(Window->sonkat, Window->sonkat->findText("60"));  // 0 .. 60
  Window->ComboBox1->setCurrentIndex(4);
  Window->BitBtn1Click();
  Window->CheckBox1->setChecked(true);
  Window->BtnWriteClick();
  ASSERT_TRUE(Stored());
  EXPECT_EQ(Received(), "yw" + Frames(0, 60) + std::string("\x08\x3D\x10\x3B\x01", 5) + std::string(7, '\xFF'));
  EXPECT_EQ(Paused, WritePauses(61));
  EXPECT_EQ(Window->CodeSystem, 4) << "the project keeps its index; only the line carries the power of two";
}

TEST_F(WriteTest, MoreFramesThanSlotsSendsNoMoreThanTheImageHolds) {
  EditingMode();
  // Only an image from elsewhere can say 62 frames; the window must not send a 62nd.
  Window->FrameTable.assign(62, varo::SegmentPattern{{0x11, 0x22, 0x33, 0x44}});
  Window->FrameCount = 62;
  Window->BtnWriteClick();
  ASSERT_TRUE(Stored());
  const std::string got = Received();
  ASSERT_EQ(got.size(), 258u);
  std::string frames;
  for (int i = 0; i < 61; ++i) frames += "\x11\x22\x33\x44";
  EXPECT_EQ(got.substr(2, 244), frames);
  EXPECT_EQ(got.substr(246, 12), std::string("\x08\x3D\x02\x3B\x00", 5) + std::string(7, '\xFF'));
}

// While the floor-range panel is shown F9 writes nothing, as YAZ is disabled there: the header
// would describe the panel's lists, not the drawings.
TEST_F(WriteTest, F9WritesWithAnyModifiersInEditingModeOnlyAndTheKeyGoesOn) {
  struct KeySeen : QObject {
    int F9 = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F9) ++F9;
      return false;
    }
  } seen;
  Window->comport->installEventFilter(&seen);
  const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier};
  int writes = 0, keys = 0;
  for (bool setup : {true, false}) {
    if (!setup) EditingMode();
    for (Qt::KeyboardModifiers m : mods) {
      ASSERT_EQ(Window->InSetupMode(), setup);
      Dialogs->Calls.clear();
      QTest::keyClick(Window->comport, Qt::Key_F9, m);
      EXPECT_EQ(seen.F9, ++keys) << "the focused control still gets the key";
      if (setup) {
        EXPECT_TRUE(Dialogs->Calls.empty());
        EXPECT_TRUE(Received().empty());
        continue;
      }
      ++writes;
      ASSERT_TRUE(Stored(writes)) << "modifiers " << m;
      EXPECT_EQ(Sim->Image(), Window->BuildDeviceImage(varo::CodeSystemForm::Device));
      EXPECT_EQ(Dialogs->Kinds(), std::vector<QString>{"Info"});
    }
  }
}

TEST_F(WriteTest, ShowFloorNumbersSendsSAndLeavesThePortOpen) {
  EditingMode();
  Window->ProgressBar1->setValue(40);
  QTest::mouseClick(Window->SpeedButton18, Qt::LeftButton);
  ASSERT_TRUE(WaitForReceived(2));
  EXPECT_EQ(Received(), "ys");
  EXPECT_EQ(Paused, (std::vector<int>{200, 1000}));
  EXPECT_TRUE(Window->ComPort1.Connected());
  EXPECT_EQ(Window->ComPort1.Port(), Sim->Path());
  EXPECT_EQ(Window->ProgressBar1->value(), 0) << "the handshake set it";
  EXPECT_TRUE(Dialogs->Calls.empty());
  ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Shows == 1; }, std::chrono::seconds(5)));

  // The next write finds the port open and closes it at the end.
  Window->BtnWriteClick();
  ASSERT_TRUE(Stored());
  EXPECT_EQ(Received().substr(0, 4), "ysyw");
  EXPECT_FALSE(Window->ComPort1.Connected());
}

// The pause delivers user input (so that a close request gets through); the lock drops it for the
// window and every window it owns, shortcuts included, but a box the command shows is answered.
TEST_F(WriteTest, DuringACommandNoWindowOfTheProgramTakesInputButItsOwnBox) {
  EditingMode();
  Extra<TAllFloors>().OverviewButtonClick();
  const Snapshot before = TakeSnapshot(*Window);
  bool tried = false, boxAnswered = false;
  Hook = [&](int ms) {
    if (ms != 60 || tried) return;
    tried = true;
    Window->activateWindow();
    QTest::keyClick(Window.get(), Qt::Key_Z, Qt::ControlModifier);  // an undo of the last change
    QTest::keyClick(Window.get(), Qt::Key_PageUp);
    QTest::mouseClick(Extra<TAllFloors>().Overview, Qt::LeftButton, Qt::NoModifier, Extra<TAllFloors>().Overview->CellRect(5).center());
    QTest::keyClick(Extra<TAllFloors>().Overview, Qt::Key_F2);
    QMessageBox box(QMessageBox::Information, "VARO PROGRAMMER", "?", QMessageBox::Ok, Window.get());
    QTimer::singleShot(0, [&] {
      QTest::keyClick(&box, Qt::Key_Return);
      boxAnswered = true;
    });
    box.exec();
  };
  Window->SpeedButton5Click();  // a change an undo could take back
  const Snapshot changed = TakeSnapshot(*Window);
  Window->BtnWriteClick();
  Hook = nullptr;
  ASSERT_TRUE(Stored());
  EXPECT_TRUE(boxAnswered);
  EXPECT_EQ(TakeSnapshot(*Window), changed);
  EXPECT_FALSE(changed == before);
}

TEST_F(WriteTest, NoSecondCommandStartsWhileOneRuns) {
  EditingMode();
  bool tried = false;
  Hook = [&](int ms) {
    if (ms != 60 || tried) return;
    tried = true;
    Window->BtnWriteClick();
    Window->SpeedButton18Click();
    QTest::keyClick(Window->comport, Qt::Key_F9);
    QTest::mouseClick(Window->SpeedButton1, Qt::LeftButton);
    // A click that waits in the queue until the command is over is dropped then.
    const QPoint at(5, 5);
    QCoreApplication::postEvent(Window->BtnWrite, new QMouseEvent(QEvent::MouseButtonPress, at, Window->BtnWrite->mapToGlobal(at),
                                                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(Window->BtnWrite, new QMouseEvent(QEvent::MouseButtonRelease, at, Window->BtnWrite->mapToGlobal(at),
                                                                  Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
  };
  Window->BtnWriteClick();
  Hook = nullptr;
  ASSERT_TRUE(Stored());
  QCoreApplication::processEvents();
  EXPECT_EQ(Sim->Seen().Handshakes, 1);
  EXPECT_EQ(Sim->Seen().Writes, 1);
  EXPECT_FALSE(Window->InSetupMode());
  EXPECT_FALSE(Window->CommandLock().Busy());
  // And once it is over, the window answers again.
  QTest::mouseClick(Window->SpeedButton1, Qt::LeftButton);
  EXPECT_TRUE(Window->InSetupMode());
}

TEST_F(WriteTest, HangUpMidWriteShowsTheErrorOnceAndANewIndicatorTakesTheNextWrite) {
  const std::string link = QDir::temp().filePath("varo-hangup-%1").arg(QCoreApplication::applicationPid()).toStdString();
  sim::Behaviour hangUp;
  hangUp.Fault = sim::Fault::HangUpInWrite;
  hangUp.HangUpAfter = 100;
  StartIndicator(hangUp, link);
  EditingMode();
  EXPECT_FALSE(Run([&] { Window->BtnWriteClick(); }));
  ASSERT_TRUE(Sim->HungUp());
  ServeUntil([] { return false; }, 100);  // whatever the event thread reports of the hang-up
  ASSERT_EQ(Dialogs->Calls.size(), 1u);
  EXPECT_EQ(Dialogs->Calls[0].Kind, "Error");
  EXPECT_EQ(Dialogs->Calls[0].Caption, "VARO PROGRAMMER");
  EXPECT_EQ(Dialogs->Calls[0].Text,
            "WriteFile function failed (win error code: 5)\n"
            "The line was lost during the write: the indicator now holds a partial image. Check the connection and "
            "write again.");
  EXPECT_EQ(Window->ProgressBar1->value(), 100) << "the bar stays where the transfer stopped";
  EXPECT_TRUE(Window->ComPort1.Connected());
  EXPECT_FALSE(Window->CommandLock().Busy());

  // The indicator comes back under the same name: the next write reopens the line.
  StartIndicator({}, link);
  Dialogs->Calls.clear();
  Window->BtnWriteClick();
  ASSERT_TRUE(Stored());
  EXPECT_EQ(Sim->Image(), Window->BuildDeviceImage(varo::CodeSystemForm::Device));
  EXPECT_EQ(Dialogs->Kinds(), std::vector<QString>{"Info"});
  EXPECT_FALSE(Window->ComPort1.Connected());
}

TEST_F(WriteTest, APortLeftOpenAfterAHangUpCloses) {
  sim::Behaviour hangUp;
  hangUp.Fault = sim::Fault::HangUpInWrite;
  hangUp.HangUpAfter = 1;
  StartIndicator(hangUp);
  EditingMode();
  EXPECT_FALSE(Run([&] { Window->BtnWriteClick(); }));
  ASSERT_TRUE(Window->ComPort1.Connected());
  Window->ComPort1.Close();
  EXPECT_FALSE(Window->ComPort1.Connected());
}

TEST_F(WriteTest, VerifyAfterWritingReadsBackOnlyWhenTicked) {
  EXPECT_FALSE(Window->VerifyCheckBox->isChecked()) << "off at start: the window writes as it always did";
  struct Case {
    int Corrupt;
    QString Kind;
    QString Text;
  };
  const Case cases[] = {
      {-1, "Info", "Doğrulandı"},
      {13, "Error",
       "Doğrulanmadı, 1 bayt farklı:\nbayt 13: frame 3 bayt 1 (kat 3): gönderilen 0x%1, okunan 0x%2"},
  };
  EditingMode();
  Window->VerifyCheckBox->setChecked(true);
  // A poll for the answer lasts until a byte is there (or its own length).
  Hook = [&](int ms) {
    if (ms == varo::ReadPollMs)
      Sim->WaitUntil([&] { return Window->ComPort1.InputQueueCount() > 0; }, std::chrono::milliseconds(ms));
  };
  for (const Case& c : cases) {
    sim::Behaviour b;
    b.CorruptAt = c.Corrupt;
    StartIndicator(b);
    Dialogs->Calls.clear();
    Window->BtnWriteClick();
    ASSERT_EQ(Dialogs->Calls.size(), 2u) << c.Corrupt;
    EXPECT_EQ(Dialogs->Calls[0].Text, Done);
    EXPECT_EQ(Dialogs->Calls[1].Kind, c.Kind);
    EXPECT_EQ(Dialogs->Calls[1].Caption, "VARO PROGRAMMER");
    const uint8_t sent = Window->BuildDeviceImage(varo::CodeSystemForm::Device)[13];
    const auto hex = [](uint8_t b) { return QString::number(b, 16).rightJustified(2, '0').toUpper(); };
    const QString expected = c.Corrupt < 0 ? c.Text : c.Text.arg(hex(sent), hex(uint8_t(~sent)));
    EXPECT_EQ(Dialogs->Calls[1].Text, expected);
    EXPECT_EQ(Received().substr(0, 2), "yw");
    EXPECT_EQ(Received().substr(258), "yr") << "the read-back after the write";
    EXPECT_FALSE(Window->ComPort1.Connected());
    EXPECT_EQ(Window->ProgressBar1->value(), 0);
    EXPECT_FALSE(Window->Modified);
  }
}

TEST_F(WriteTest, VerifyThatGetsAShortAnswerSaysHowMuchCame) {
  sim::Behaviour shortImage;
  shortImage.Fault = sim::Fault::ShortImage;
  StartIndicator(shortImage);
  EditingMode();
  Window->VerifyCheckBox->setChecked(true);
  Hook = [&](int ms) {
    if (ms == varo::ReadPollMs)
      Sim->WaitUntil([&] { return Window->ComPort1.InputQueueCount() > 0; }, std::chrono::milliseconds(ms));
  };
  Window->BtnWriteClick();
  ASSERT_EQ(Dialogs->Kinds(), (std::vector<QString>{"Info", "Error"}));
  EXPECT_EQ(Dialogs->Calls[1].Text, "Doğrulanamadı: cihaz 256 bayttan yalnız 255 bayt gönderdi.");
  EXPECT_FALSE(Window->ComPort1.Connected());
  EXPECT_EQ(Window->ProgressBar1->value(), 0);
}

namespace {

struct CloseCase {
  const char* Name;
  void (TFmMain::*Command)();
  int PauseMs, Occurrence;  // the window is closed in the n-th pause of that length
  std::string Sent;         // everything the indicator gets
  sim::Fault Fault = sim::Fault::None;
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.Name; }

class ClosingDuringACommand : public WriteTest, public testing::WithParamInterface<CloseCase> {};

}  // namespace

TEST_P(ClosingDuringACommand, AsksNothingSendsNothingMoreAndLetsThePortGo) {
  const CloseCase c = GetParam();
  Sim->SetBehaviour({c.Fault});
  EditingMode();
  int seen = 0;
  Hook = [&](int ms) {
    if (ms == c.PauseMs && ++seen == c.Occurrence) Window->close();
  };
  (Window.get()->*c.Command)();
  Hook = nullptr;
  EXPECT_TRUE(Window->isVisible()) << "the window closes once the command is over";
  QCoreApplication::processEvents();
  EXPECT_FALSE(Window->isVisible());
  EXPECT_FALSE(Window->ComPort1.Connected());
  EXPECT_EQ(varo::ProbePort(Sim->Path()), 0) << "the port is let go";
  EXPECT_TRUE(Dialogs->Calls.empty()) << "no retry box, no completion message, no question";
  EXPECT_FALSE(Window->CommandLock().Busy());
  ASSERT_TRUE(WaitForReceived(c.Sent.size()));
  EXPECT_EQ(Received(), c.Sent);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ClosingDuringACommand,
    testing::Values(CloseCase{"WriteBeforeTheHandshake", &TFmMain::BtnWriteClick, 100, 1, ""},
                    CloseCase{"WriteInTheHandshake", &TFmMain::BtnWriteClick, 200, 1, "y"},
                    // Without the close a Retry/Cancel box would ask.
                    CloseCase{"WrongAnswer", &TFmMain::BtnWriteClick, 200, 1, "y", sim::Fault::WrongAnswer},
                    CloseCase{"WriteAfterTenImageBytes", &TFmMain::BtnWriteClick, 60, 10,
                              "yw" + Frames(0, 15).substr(0, 10)},
                    CloseCase{"ShowFloorNumbers", &TFmMain::SpeedButton18Click, 1000, 1, "y"},
                    CloseCase{"Read", &TFmMain::BtnReadClick, 100, 1, "y"}),
    [](const testing::TestParamInfo<CloseCase>& i) { return std::string(i.param.Name); });

TEST_F(WriteTest, ClosingDuringAWriteStillAsksAboutUnsavedChangesOnceItIsStopped) {
  EditingMode();
  Window->Modified = true;
  Dialogs->Answers.push_back(TDialogs::TAnswer::No);
  Hook = [&](int ms) {
    if (ms == 60) Window->close();
  };
  Window->BtnWriteClick();
  Hook = nullptr;
  EXPECT_TRUE(Dialogs->Calls.empty()) << "nothing is asked while the command runs";
  QCoreApplication::processEvents();
  EXPECT_EQ(Dialogs->Kinds(), std::vector<QString>{"YesNoCancel"});
  EXPECT_FALSE(Window->isVisible());
  EXPECT_FALSE(Window->ComPort1.Connected());
  EXPECT_EQ(Received(), "yw" + Frames(0, 0).substr(0, 1));
}
