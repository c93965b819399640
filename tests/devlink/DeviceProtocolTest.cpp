// The device link core against the simulated indicator, with pauses that do
// not sleep but last until the line has carried what they wait for.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <string>

#include "DeviceCalls.h"
#include "Indicator.h"
#include "core/DeviceProtocol.h"
#include "core/DeviceWrite.h"
#include "core/ImageVerify.h"
#include "core/SerialPorts.h"

namespace {

using varo::TTransferEnd;

class DeviceLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    varo::SetIndicatorLine(Port);
    Port.SetEvents(TComEvents());
    Port.AttachLink(&Tx);
    Tx.OnTxData = [this](TObject*, const void*, int32_t count) { Written += count; };
  }
  void TearDown() override {
    Port.Close();
    Port.DetachLink(&Tx);
  }

  sim::Indicator& Start(sim::Behaviour behaviour = {}, const varo::DeviceImage& image = sim::DefaultImage()) {
    Sim = std::make_unique<sim::Indicator>(behaviour, image);
    return *Sim;
  }

  varo::TDeviceLink Link() {
    varo::TDeviceHooks hooks;
    hooks.PortName = [this] { return Sim->Path(); };
    hooks.Pause = [this](int ms) { OnPause(ms); };
    hooks.Progress = [this](int value) { Progress.push_back(value); };
    hooks.RetryAfterNoAnswer = [this] { return Retries-- > 0; };
    hooks.StopRequested = [this] { return StopAt >= 0 && !Progress.empty() && Progress.back() >= StopAt; };
    return varo::TDeviceLink(Port, std::move(hooks));
  }

  void OnPause(int ms) {
    Paused.push_back(ms);
    ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->HungUp() || Sim->Received().size() >= size_t(Written); },
                               std::chrono::seconds(5)));
    // The handshake's answer, if any, is sent as the "y" is taken; a poll ends with the first byte.
    if (ms == varo::AnswerPauseMs || ms == varo::ReadPollMs)
      Sim->WaitUntil([&] { return Port.InputQueueCount() > 0; }, std::chrono::milliseconds(ms));
    // The pause before a command is where a late answer of an earlier handshake comes in.
    if (ms == varo::CommandPauseMs)
      Sim->WaitUntil([&] { return Sim->PendingBytes() == 0; }, std::chrono::seconds(1));
  }

  std::string Received() const {
    const std::vector<unsigned char> r = Sim->Received();
    return std::string(r.begin(), r.end());
  }

  TComPort Port;
  TComLink Tx;
  std::unique_ptr<sim::Indicator> Sim;
  std::vector<int> Paused;
  std::vector<int> Progress;
  int Written = 0;
  int Retries = 0;
  int StopAt = -1;
};

std::string Text(const varo::DeviceImage& image) { return std::string(image.begin(), image.end()); }

// Every byte value once, with a valid floor range: 0 to 15, Gray.
varo::DeviceImage AllByteValues() {
  varo::DeviceImage image = sim::DefaultImage();
  for (int i = 0; i < 244; ++i) image[i] = static_cast<uint8_t>(255 - i);
  return image;
}

}  // namespace

TEST_F(DeviceLinkTest, WriteSendsTheImageWithTheWindowsPacingAndClosesThePort) {
  Start();
  const varo::DeviceImage image = AllByteValues();
  const varo::TTransfer t = Link().Write(image);
  EXPECT_EQ(t.End, TTransferEnd::Done);
  EXPECT_EQ(t.Bytes, 256);
  ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Stored == 1; }, std::chrono::seconds(5)));
  EXPECT_EQ(Received(), "yw" + Text(image));
  std::vector<int> pauses = {100, 200, 100};
  pauses.insert(pauses.end(), 64, 60);
  pauses.push_back(60);
  pauses.insert(pauses.end(), 180, 60);
  pauses.push_back(65);
  pauses.insert(pauses.end(), 12, 60);
  EXPECT_EQ(Paused, pauses);
  std::vector<int> progress = {0, 0};
  for (int i = 1; i <= 256; ++i) progress.push_back(i);
  EXPECT_EQ(Progress, progress);
  EXPECT_FALSE(Port.Connected());
  EXPECT_EQ(varo::ProbePort(Sim->Path()), 0);
}

TEST_F(DeviceLinkTest, AStopEndsTheWriteAfterTheByteOnItsWayAndLetsThePortGo) {
  Start();
  StopAt = 100;
  const varo::TTransfer t = Link().Write(sim::DefaultImage());
  EXPECT_EQ(t.End, TTransferEnd::Stopped);
  EXPECT_EQ(t.Bytes, 100);
  EXPECT_EQ(Received().size(), 102u) << "y, w and 100 image bytes, nothing more";
  EXPECT_FALSE(Port.Connected());
  EXPECT_EQ(varo::ProbePort(Sim->Path()), 0);
  EXPECT_EQ(Sim->Seen().Stored, 0);
}

TEST_F(DeviceLinkTest, HandshakeRetriesAsOftenAsTheQuestionSays) {
  struct Case {
    int SilentTimes;  // -1: never answers
    int Retries;
    bool Connected;
    int Handshakes;
  };
  for (const Case c : {Case{-1, 3, false, 4}, Case{-1, 0, false, 1}, Case{2, 3, true, 3}, Case{0, 0, true, 1}}) {
    SCOPED_TRACE(testing::Message() << "silent " << c.SilentTimes << " retries " << c.Retries);
    sim::Behaviour silent;
    silent.Fault = c.SilentTimes == 0 ? sim::Fault::None : sim::Fault::Silent;
    silent.Times = c.SilentTimes;
    Start(silent);
    Written = 0;
    Retries = c.Retries;
    EXPECT_EQ(Link().Connect(), c.Connected);
    EXPECT_EQ(Sim->Seen().Handshakes, c.Handshakes);
    EXPECT_EQ(Port.Connected(), c.Connected) << "a handshake given up closes the port";
    Port.Close();
  }
}

TEST_F(DeviceLinkTest, HangUpMidWriteRaisesThePortsErrorAndLeavesItOpen) {
  sim::Behaviour hangUp;
  hangUp.Fault = sim::Fault::HangUpInWrite;
  hangUp.HangUpAfter = 10;
  Start(hangUp);
  try {
    Link().Write(sim::DefaultImage());
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ComErrorCode(), CError_WriteFailed);
  }
  EXPECT_TRUE(Port.Connected());
  EXPECT_GE(Progress.back(), 10);
}

// A line that stops taking bytes after a given number: the driver refuses every later one, as a
// UART held by flow control or a dead USB adapter would.
class THeldLine : public cport_device::TDeviceCalls {
 public:
  THeldLine(std::string path, size_t passing) : Path_(std::move(path)), Passing_(passing) {
    cport_device::SetCalls(this);
  }
  ~THeldLine() override { cport_device::SetCalls(nullptr); }
  int Open(const char* path, int flags) override {
    const int fd = TDeviceCalls::Open(path, flags);
    if (Path_ == path) Fd_ = fd;
    return fd;
  }
  ssize_t Write(int fd, const void* buffer, size_t count) override {
    if (fd != Fd_ || count == 0) return TDeviceCalls::Write(fd, buffer, count);
    if (Passing_ == 0) {
      errno = EAGAIN;
      return -1;
    }
    const ssize_t n = TDeviceCalls::Write(fd, buffer, std::min(count, Passing_));
    if (n > 0) Passing_ -= size_t(n);
    return n;
  }

 private:
  const std::string Path_;
  std::atomic<int> Fd_{-1};
  size_t Passing_;  // writes come from one thread at a time here
};

TEST_F(DeviceLinkTest, AByteTheLineDoesNotTakeEndsTheTransferAsALineFailure) {
  const struct {
    const char* Name;
    size_t Passing;  // bytes the line takes: "y", "w", then image bytes
    int Sent;
  } Cases[] = {{"the command byte", 1, 0}, {"an image byte", 2 + 10, 10}};
  for (const auto& c : Cases) {
    SCOPED_TRACE(c.Name);
    Start();
    Progress.clear();
    Written = 0;
    // A short limit, so that the test does not wait out the default's second.
    Port.Timeouts().SetWriteTotalMultiplier(0);
    Port.Timeouts().SetWriteTotalConstant(20);
    THeldLine line(Sim->Path(), c.Passing);
    try {
      Link().Write(sim::DefaultImage());
      FAIL() << "the write ended as if done";
    } catch (const EComPort& e) {
      EXPECT_EQ(e.ComErrorCode(), CError_WriteFailed);
      EXPECT_EQ(e.SystemErrorCode(), ETIMEDOUT);
    }
    EXPECT_TRUE(Port.Connected()) << "a line failure leaves the port open, as the command line tells";
    EXPECT_EQ(Progress.back(), c.Sent);
    Port.Close();
  }
}

TEST_F(DeviceLinkTest, ReadTakesEveryByteValueStraightFromThePort) {
  struct Case {
    sim::Fault Fault;
    TTransferEnd End;
    int Bytes;
  };
  for (const Case c : {Case{sim::Fault::None, TTransferEnd::Done, 256}, Case{sim::Fault::EscInImage, TTransferEnd::Done, 256},
                       Case{sim::Fault::ShortImage, TTransferEnd::Silent, 255},
                       Case{sim::Fault::SilentMidImage, TTransferEnd::Silent, 128}}) {
    SCOPED_TRACE(sim::FaultName(c.Fault));
    sim::Behaviour b;
    b.Fault = c.Fault;
    const varo::DeviceImage stored = AllByteValues();
    Start(b, stored);
    Written = 0;
    Progress.clear();
    varo::DeviceImage got{};
    const varo::TTransfer t = Link().Read(got);
    EXPECT_EQ(t.End, c.End);
    EXPECT_EQ(t.Bytes, c.Bytes);
    EXPECT_EQ(Progress.back(), c.Bytes);
    EXPECT_EQ(Received(), "yr");
    varo::DeviceImage expected = stored;
    if (c.Fault == sim::Fault::EscInImage) expected[sim::EscPosition] = 27;
    EXPECT_EQ(Text(got).substr(0, c.Bytes), Text(expected).substr(0, c.Bytes));
    EXPECT_TRUE(Port.Connected());
    Port.Close();
  }
}

// An indicator that says more than "E", or says it late (so that the "E" of the first handshake
// answers the second and the second's comes after it): none of it is taken as image bytes.
TEST_F(DeviceLinkTest, AnswerBytesBeyondTheEAreNoPartOfTheImage) {
  for (sim::Fault fault : {sim::Fault::ExtraBytes, sim::Fault::LateAnswer}) {
    SCOPED_TRACE(sim::FaultName(fault));
    sim::Behaviour behaviour;
    behaviour.Fault = fault;
    Start(behaviour, AllByteValues());
    Written = 0;
    Retries = 3;
    varo::DeviceImage image{};
    const varo::TTransfer read = Link().Read(image);
    EXPECT_EQ(read.End, TTransferEnd::Done);
    EXPECT_EQ(Text(image), Text(AllByteValues()));
    Port.Close();

    // A write and its verify, as the window and --verify do it.
    const varo::DeviceImage sent = sim::DefaultImage();
    Written = 0;
    EXPECT_EQ(Link().Write(sent).End, TTransferEnd::Done);
    ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Stored > 0; }, std::chrono::seconds(5)));
    varo::DeviceImage back{};
    EXPECT_EQ(Link().Read(back).End, TTransferEnd::Done);
    EXPECT_TRUE(varo::CompareImages(sent, back).empty());
    Port.Close();
  }
}

TEST_F(DeviceLinkTest, ShowFloorsSendsSAfterItsPauseAndKeepsThePortOpen) {
  Start();
  EXPECT_TRUE(Link().ShowFloors());
  ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Shows == 1; }, std::chrono::seconds(5)));
  EXPECT_EQ(Received(), "ys");
  EXPECT_EQ(Paused, (std::vector<int>{200, 1000}));
  EXPECT_TRUE(Port.Connected());
}

TEST_F(DeviceLinkTest, WriteThenReadBackFindsTheOneByteStoredWrong) {
  for (int corrupt : {-1, 13, 246}) {
    SCOPED_TRACE(corrupt);
    sim::Behaviour b;
    b.CorruptAt = corrupt;
    Start(b);
    Written = 0;
    const varo::DeviceImage sent = AllByteValues();
    ASSERT_EQ(Link().Write(sent).End, TTransferEnd::Done);
    ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Stored == 1; }, std::chrono::seconds(5)));
    varo::DeviceImage back{};
    ASSERT_EQ(Link().Read(back).End, TTransferEnd::Done);
    const auto differences = varo::CompareImages(sent, back);
    if (corrupt < 0) {
      EXPECT_TRUE(differences.empty());
      EXPECT_EQ(varo::VerifyReport(sent, differences), "Doğrulandı");
    } else {
      ASSERT_EQ(differences.size(), 1u);
      EXPECT_EQ(differences[0].Position, corrupt);
      EXPECT_EQ(differences[0].Sent, sent[corrupt]);
      EXPECT_EQ(differences[0].Read, static_cast<uint8_t>(~sent[corrupt]));
    }
    Port.Close();
  }
}

TEST(ImageVerify, EachPositionSaysWhatItHolds) {
  varo::DeviceImage floorsMinus2To9 = sim::DefaultImage();
  floorsMinus2To9[varo::ImageOffset::FirstFloorIndex] = 6;
  floorsMinus2To9[varo::ImageOffset::FrameCount] = 12;
  struct Case {
    const varo::DeviceImage* Image;
    int Position;
    const char* Meaning;
  };
  const varo::DeviceImage defaults = sim::DefaultImage();
  const Case cases[] = {
      {&defaults, 0, "frame 0 bayt 0 (kat 0)"},
      {&defaults, 13, "frame 3 bayt 1 (kat 3)"},
      {&defaults, 63, "frame 15 bayt 3 (kat 15)"},
      {&defaults, 64, "boş frame yeri 16 bayt 0"},
      {&defaults, 243, "boş frame yeri 60 bayt 3"},
      {&floorsMinus2To9, 0, "frame 0 bayt 0 (kat -2)"},
      {&floorsMinus2To9, 47, "frame 11 bayt 3 (kat 9)"},
      {&floorsMinus2To9, 48, "boş frame yeri 12 bayt 0"},
      {&defaults, 244, "İlk Kat sırası"},
      {&defaults, 245, "Frame sayısı"},
      {&defaults, 246, "Kod sistemi"},
      {&defaults, 247, "Son Kat sırası"},
      {&defaults, 248, "Buzzer"},
      {&defaults, 249, "dolgu"},
      {&defaults, 255, "dolgu"},
  };
  for (const Case& c : cases) EXPECT_EQ(varo::PositionMeaning(c.Position, *c.Image), c.Meaning) << c.Position;
}

TEST(ImageVerify, ReportListsEveryDifferenceInPositionOrder) {
  const varo::DeviceImage sent = sim::DefaultImage();
  varo::DeviceImage back = sent;
  back[245] = 0x11;
  back[2] = 0x00;
  const auto differences = varo::CompareImages(sent, back);
  EXPECT_EQ(varo::VerifyReport(sent, differences),
            "Doğrulanmadı, 2 bayt farklı:\n"
            "bayt 2: frame 0 bayt 2 (kat 0): gönderilen 0xFF, okunan 0x00\n"
            "bayt 245: Frame sayısı: gönderilen 0x10, okunan 0x11");
}
