// The handshake and port discovery on the window.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <thread>

#include "FakeDeviceTree.h"
#include "LinkFixture.h"
#include "core/SerialPorts.h"

namespace {

const QString NoAnswer = "Cihazla Bağlantı Kurulamadı...";

// In editing mode: a write is not started while the floor-range panel is shown.
class HandshakeTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    Window->BitBtn2Click();
  }
};

// Receives what the port hands to its links, as the hidden terminal will.
struct TRxRecorder {
  TComLink Link;
  std::string Bytes;
  std::thread::id Thread;
  explicit TRxRecorder(TComPort& port) : Port(port) {
    Link.OnRxBuf = [this](TObject*, const void* buffer, int32_t count) {
      Bytes.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
      Thread = std::this_thread::get_id();
    };
    Port.AttachLink(&Link);
  }
  ~TRxRecorder() { Port.DetachLink(&Link); }
  TComPort& Port;
};

}  // namespace

TEST_F(HandshakeTest, PortIsSetUpAsTheLayoutHasIt) {
  const TComPort& p = Window->ComPort1;
  EXPECT_EQ(p.Name(), "ComPort1");
  EXPECT_EQ(p.BaudRate(), br19200);
  EXPECT_EQ(p.DataBits(), dbEight);
  EXPECT_EQ(p.Parity().Bits(), prNone);
  EXPECT_EQ(p.StopBits(), sbOneStopBit);
  EXPECT_EQ(p.Events(), AllComEvents);
  EXPECT_FALSE(p.FlowControl().OutCTSFlow());
  EXPECT_FALSE(p.FlowControl().OutDSRFlow());
  EXPECT_EQ(p.FlowControl().ControlDTR(), dtrDisable);
  EXPECT_EQ(p.FlowControl().ControlRTS(), rtsDisable);
  EXPECT_FALSE(p.FlowControl().XonXoffOut());
  EXPECT_FALSE(p.FlowControl().XonXoffIn());
  EXPECT_EQ(p.SyncMethod(), smThreadSync);
  EXPECT_EQ(p.Timeouts().ReadInterval(), -1);
  EXPECT_EQ(p.Timeouts().WriteTotalConstant(), 1000);
  EXPECT_FALSE(p.Connected());
  // No ports in the test's device tree: the list says so and the layout's name stays.
  EXPECT_EQ(Window->comport->count(), 1);
  EXPECT_EQ(Window->comport->currentText(), "Com Port Yok");
  EXPECT_EQ(p.Port(), "COM1");
}

TEST_F(HandshakeTest, DiscoveryListsFreePortsAndTellsWhyOthersAreMissing) {
  sim::Indicator a, b, c;
  TFakeDeviceTree tree;
  tree.AddPort("ttyUSB10", 4, a.DevicePath());
  tree.AddPort("ttyUSB2", 4, b.DevicePath());
  tree.AddPort("ttyS0", 4, c.DevicePath());
  tree.AddPort("ttyS1", 0);  // a slot without a UART is never tried
  tree.AddVirtual("tty1");
  std::vector<std::string> probed;
  Window->SetDeviceRoot(tree.Root());
  Window->SetPortProbe([&](const std::string& path) {
    probed.push_back(path);
    return path == tree.DevicePath("ttyS0") ? EACCES : varo::ProbePort(path);
  });
  QTest::mouseClick(Window->ComRefresh, Qt::LeftButton);
  ASSERT_EQ(Window->comport->count(), 2);
  // Named as on the machine the tree stands for; the path inside the tree is what opens.
  EXPECT_EQ(Window->comport->itemText(0), "/dev/ttyUSB2");
  EXPECT_EQ(Window->comport->itemText(1), "/dev/ttyUSB10");
  EXPECT_EQ(Window->PortPath(), tree.DevicePath("ttyUSB2"));
  EXPECT_EQ(Window->comport->currentIndex(), 0);
  EXPECT_EQ(Window->ComPort1.Port(), tree.DevicePath("ttyUSB2"));
  EXPECT_EQ(probed.size(), 3u);
  const QString hint = Window->comport->toolTip();
  EXPECT_TRUE(hint.contains("/dev/ttyS0") && !hint.contains(QString::fromStdString(tree.DevicePath("ttyS0"))))
      << hint.toStdString();
  EXPECT_TRUE(hint.contains(QString::fromStdString("'" + varo::DeviceGroup(tree.DevicePath("ttyS0")) + "'")))
      << hint.toStdString();

  // All refused or gone: "Com Port Yok", the port keeps its name and the hint goes with the refusal.
  Window->SetPortProbe([](const std::string&) { return EBUSY; });
  Window->ComRefreshClick();
  EXPECT_EQ(Window->comport->count(), 1);
  EXPECT_EQ(Window->comport->currentText(), "Com Port Yok");
  EXPECT_EQ(Window->ComPort1.Port(), tree.DevicePath("ttyUSB2"));
  EXPECT_TRUE(Window->comport->toolTip().isEmpty());
}

TEST_F(HandshakeTest, APortTheToolHoldsIsLeftOutAndSelectingItemZeroMovesThere) {
  StartIndicator();
  sim::Indicator other;
  TFakeDeviceTree tree;
  tree.AddPort("ttyUSB0", 4, Sim->DevicePath());
  tree.AddPort("ttyUSB1", 4, other.DevicePath());
  Window->SetDeviceRoot(tree.Root());
  Window->TypePortName(QString::fromStdString(tree.DevicePath("ttyUSB0")));
  Window->SpeedButton18Click();
  ASSERT_TRUE(Window->ComPort1.Connected());

  Window->ComRefreshClick();
  ASSERT_EQ(Window->comport->count(), 1);
  EXPECT_EQ(Window->comport->itemText(0), "/dev/ttyUSB1");
  EXPECT_EQ(Window->ComPort1.Port(), tree.DevicePath("ttyUSB1"));
  EXPECT_TRUE(Window->ComPort1.Connected()) << "reopened under the new name";
  EXPECT_EQ(varo::ProbePort(tree.DevicePath("ttyUSB0")), 0) << "the old port is let go";
}

TEST_F(HandshakeTest, TypedNameIsUsedUnchanged) {
  StartIndicator();
  EXPECT_EQ(Window->comport->currentText().toStdString(), Sim->Path());
  EXPECT_EQ(Window->comport->count(), 1) << "typed, not listed";
  EXPECT_EQ(Window->ComPort1.Port(), "COM1") << "taken only by a handshake";
  EXPECT_TRUE(Window->ConnectDevice());
  EXPECT_EQ(Window->ComPort1.Port(), Sim->Path());
  EXPECT_TRUE(Window->ComPort1.Connected());
}

TEST_F(HandshakeTest, FailedOpenShowsTheSerialErrorWithTheSystemCode) {
  for (const char* name : {"/nonexistent/ttyVARO", "Com Port Yok"}) {
    Dialogs->Calls.clear();
    Paused.clear();
    Window->TypePortName(name);
    EXPECT_FALSE(Run([&] { Window->BtnWriteClick(); }));
    ASSERT_EQ(Dialogs->Calls.size(), 1u) << name;
    EXPECT_EQ(Dialogs->Calls[0].Kind, "Error");
    EXPECT_EQ(Dialogs->Calls[0].Caption, "VARO PROGRAMMER");
    EXPECT_EQ(Dialogs->Calls[0].Text, "Unable to open com port (win error code: 2)");
    EXPECT_EQ(Paused, std::vector<int>{100});
    EXPECT_FALSE(Window->ComPort1.Connected());
    EXPECT_FALSE(Window->CommandLock().Busy()) << "the window is usable again";
  }
}

TEST_F(HandshakeTest, APortAnotherProgramHoldsGetsAdviceAfterTheSerialError) {
  StartIndicator();
  const int held = ::open(Sim->Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  EXPECT_FALSE(Run([&] { Window->BtnWriteClick(); }));
  ::close(held);
  ASSERT_EQ(Dialogs->Calls.size(), 1u);
  EXPECT_EQ(Dialogs->Calls[0].Text, QString::fromStdString("Unable to open com port (win error code: 11)\n"
                                                           "Another program holds the port; close it. 'fuser -v " +
                                                           Sim->Path() + "' shows which one."));
  EXPECT_FALSE(Window->CommandLock().Busy());
}

TEST_F(HandshakeTest, NoProperAnswerAsksRetryOrCancel) {
  for (sim::Fault f : {sim::Fault::Silent, sim::Fault::WrongAnswer, sim::Fault::LateAnswer}) {
    SCOPED_TRACE(sim::FaultName(f));
    sim::Behaviour b;
    b.Fault = f;
    StartIndicator(b);
    Dialogs->Calls.clear();
    Dialogs->Answers = {TDialogs::TAnswer::Cancel};
    AnswerSizes = {f == sim::Fault::WrongAnswer ? 1 : 0};
    Window->ProgressBar1->setValue(30);
    Window->BtnWriteClick();
    ASSERT_EQ(Dialogs->Calls.size(), 1u);
    EXPECT_EQ(Dialogs->Calls[0].Kind, "RetryCancel");
    EXPECT_EQ(Dialogs->Calls[0].Caption, "UYARI");
    EXPECT_EQ(Dialogs->Calls[0].Text, NoAnswer);
    EXPECT_EQ(Received(), "y") << "nothing follows a refused handshake";
    EXPECT_FALSE(Window->ComPort1.Connected());
    EXPECT_EQ(Window->ProgressBar1->value(), 0);
  }
}

TEST_F(HandshakeTest, RetrySendsANewY) {
  sim::Behaviour once;
  once.Fault = sim::Fault::Silent;
  once.Times = 1;
  StartIndicator(once);
  Dialogs->Answers = {TDialogs::TAnswer::Retry};
  AnswerSizes = {0, 1};
  Window->BtnWriteClick();
  ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Stored == 1; }, std::chrono::seconds(5)));
  EXPECT_EQ(Received().substr(0, 3), "yyw");
  EXPECT_EQ(Dialogs->Kinds(), (std::vector<QString>{"RetryCancel", "Info"}));
  EXPECT_EQ(std::vector<int>(Paused.begin(), Paused.begin() + 4), (std::vector<int>{100, 200, 200, 100}));
}

TEST_F(HandshakeTest, CancelClosesAPortThatWasOpenBefore) {
  StartIndicator();
  Window->SpeedButton18Click();
  ASSERT_TRUE(Window->ComPort1.Connected());
  ASSERT_TRUE(WaitForReceived(2));
  sim::Behaviour silent;
  silent.Fault = sim::Fault::Silent;
  Sim->SetBehaviour(silent);
  Dialogs->Answers = {TDialogs::TAnswer::Cancel};
  AnswerSizes = {0};
  EXPECT_FALSE(Window->ConnectDevice());
  EXPECT_FALSE(Window->ComPort1.Connected());
  EXPECT_EQ(Received(), "ysy");
}

TEST_F(HandshakeTest, AnswerWithExtraBytesPassesAndTheRestGoesToTheReceivePath) {
  sim::Behaviour extra;
  extra.Fault = sim::Fault::ExtraBytes;
  StartIndicator(extra);
  TRxRecorder rx(Window->ComPort1);
  AnswerSizes = {5};
  EXPECT_TRUE(Window->ConnectDevice());
  ASSERT_TRUE(ServeUntil([&] { return rx.Bytes.size() >= 4; }));
  EXPECT_EQ(rx.Bytes, "V1.0");
  EXPECT_EQ(rx.Thread, std::this_thread::get_id()) << "served on the GUI thread";
}

TEST_F(HandshakeTest, TheAnswerWaitsInTheQueueThroughThePause) {
  StartIndicator();
  TRxRecorder rx(Window->ComPort1);
  int queuedAtRead = -1;
  Hook = [&](int ms) {
    if (ms != 200) return;
    // Give a pause that wrongly served the hand-overs every chance to hand the "E" to the link.
    for (int i = 0; i < 5; ++i) {
      WaitForHandOvers(std::chrono::milliseconds(500));
      RealPause(20);
    }
    queuedAtRead = Window->ComPort1.InputQueueCount();
  };
  EXPECT_TRUE(Window->ConnectDevice());
  EXPECT_EQ(queuedAtRead, 1);
  ServeUntil([] { return false; }, 100);
  EXPECT_EQ(rx.Bytes, "") << "the hidden receive path never sees the handshake's answer";
}

TEST_F(HandshakeTest, HandOversAreServedByTheEventLoop) {
  StartIndicator();
  TRxRecorder rx(Window->ComPort1);
  ASSERT_TRUE(Window->ConnectDevice());
  Window->ComPort1.WriteString("r");
  ASSERT_TRUE(ServeUntil([&] { return rx.Bytes.size() >= 256; }));
  const varo::DeviceImage image = sim::DefaultImage();
  EXPECT_EQ(rx.Bytes, std::string(image.begin(), image.end()));
  EXPECT_EQ(rx.Thread, std::this_thread::get_id());
}

TEST_F(HandshakeTest, ErrorsTheSerialComponentCatchesAreShownOnTheGuiThread) {
  std::thread([] { ShowComError(std::runtime_error("Serial trouble")); }).join();
  ASSERT_TRUE(ServeUntil([&] { return !Dialogs->Calls.empty(); }));
  EXPECT_EQ(Dialogs->Calls[0].Kind, "Error");
  EXPECT_EQ(Dialogs->Calls[0].Caption, "VARO PROGRAMMER");
  EXPECT_EQ(Dialogs->Calls[0].Text, "Serial trouble.");
}
