// The application's error display, the pause and the file dialogs.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>

#include "shell/SerialHooks.h"
#include "WindowFixture.h"
#include "core/ProjectFile.h"

namespace {

class Thrower : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw varo::EFileError("Disk full", 28);
    return QObject::event(e);
  }
};

class EventCounter : public QWidget {
 public:
  int Paints = 0;
  bool event(QEvent* e) override {
    Paints += e->type() == QEvent::Paint;
    return QWidget::event(e);
  }
};

}  // namespace

TEST_F(WindowTest, ErrorsOfAnyHandlerReachTheDefaultDisplay) {
  Window->BitBtn2Click();
  Thrower thrower;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&thrower, &event);
  ASSERT_EQ(Dialogs->Calls.size(), 1u);
  EXPECT_EQ(Dialogs->Calls[0].Kind, "Error");
  EXPECT_EQ(Dialogs->Calls[0].Caption, "VARO PROGRAMMER");
  EXPECT_EQ(Dialogs->Calls[0].Text, "Disk full.");
  // The program goes on.
  QTest::keyClick(Window.get(), Qt::Key_PageUp);
  EXPECT_EQ(Window->CurrentFrame, 1);
}

TEST_F(WindowTest, FullStopRuleOfTheErrorDisplay) {
  EXPECT_FALSE(Run([] { throw std::runtime_error("Unable to open com port: (2)"); }));
  EXPECT_FALSE(Run([] { throw std::runtime_error("I/O error 5"); }));
  EXPECT_TRUE(Run([] {}));
  ASSERT_EQ(Dialogs->Calls.size(), 2u);
  EXPECT_EQ(Dialogs->Calls[0].Text, "Unable to open com port: (2)");
  EXPECT_EQ(Dialogs->Calls[1].Text, "I/O error 5.");
}

TEST_F(WindowTest, PauseIsInjectable) {
  Window->Pause(100);
  Window->Pause(60);
  EXPECT_EQ(Paused, (std::vector<int>{100, 60}));
}

// User input is the command lock's to drop (see the device command tests); a pause itself only
// holds back the loop's calls.
TEST(RealPause, PaintsButServesNoPostedCalls) {
  EventCounter widget;
  widget.show();
  QCoreApplication::processEvents();
  widget.Paints = 0;
  int served = 0;
  PostLoopCall([&] { ++served; });
  widget.update();
  RealPause(1);
  EXPECT_EQ(served, 0);
  EXPECT_EQ(widget.Paints, 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(served, 1);
}

TEST(RealPause, KeepsTheEventLoopGoingAndKeepsCallsInOrderForLater) {
  // Timers stand for what the window system sends: they fire within the pause.
  int fired = 0;
  QTimer::singleShot(0, [&] { ++fired; });
  std::vector<int> served;
  for (int i = 0; i < 3; ++i) {
    PostLoopCall([&served, i] { served.push_back(i); });
    RealPause(20);
  }
  EXPECT_EQ(fired, 1);
  EXPECT_TRUE(served.empty()) << "every pause holds them, also one right after another";
  QCoreApplication::processEvents();
  EXPECT_EQ(served, (std::vector<int>{0, 1, 2}));
}

TEST(RealPause, EndsAsSoonAsItIsStopped) {
  // A pause of ten minutes, stopped after 10 ms: not an ending on time.
  bool closed = false;
  QTimer::singleShot(10, [&] { closed = true; });
  const auto start = std::chrono::steady_clock::now();
  RealPause(600000, [&] { return closed; });
  EXPECT_TRUE(closed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(5));
}

TEST(QtDialogs, FileDialogsCarryTitleFilterAndSuffix) {
  QTemporaryDir dir;
  const TDialogs::TFileDialog spec{"Ayar Kaydet", "VARO Dosyası (*.vrd)", "vrd"};
  auto save = TQtDialogs::MakeFileDialog(nullptr, spec, true);
  EXPECT_EQ(save->windowTitle(), "Ayar Kaydet");
  EXPECT_EQ(save->nameFilters(), QStringList{"VARO Dosyası (*.vrd)"});
  EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
  save->setOption(QFileDialog::DontUseNativeDialog);
  save->setDirectory(dir.path());
  save->selectFile("proje");
  QMetaObject::invokeMethod(save.get(), "accept");
  EXPECT_EQ(save->selectedFiles(), QStringList{QDir(dir.path()).filePath("proje.vrd")});

  auto open = TQtDialogs::MakeFileDialog(nullptr, {"Ayar Aç", "VARO Dosyası (*.vrd)", "vrd"}, false);
  EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
}
