#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "CPort.h"
#include "EventTools.h"
#include "Pty.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class TTestPort : public TComPort {
 public:
  using TComPort::HandleEvents;
};

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Port.SetPort(Pty.Path());
    Port.OnRxChar = [this](TObject*, int32_t N) { Log.Add("RxChar " + std::to_string(N)); };
    Port.OnRxBuf = [this](TObject* S, const void* B, int32_t N) {
      EXPECT_EQ(S, &Port);
      Log.Add("RxBuf " + std::string(static_cast<const char*>(B), static_cast<size_t>(N)));
      LastBlock = B;
    };
    Port.OnRxFlag = [this](TObject*) { Log.Add("RxFlag"); };
    Port.OnRx80Full = [this](TObject*) { Log.Add("Rx80Full"); };
    Port.OnTxEmpty = [this](TObject*) { Log.Add("TxEmpty"); };
    Port.OnError = [this](TObject*, TComErrors E) { Log.Add("Error " + std::to_string(E.ToBits())); };
  }
  void TearDown() override {
    SetComErrorDisplay(nullptr);
    ServeHandOvers();
  }
  // Link slot recording into the log; the port's own block must be the one the link gets.
  void LinkTakesBlocks() {
    Link.OnRxBuf = [this](TObject* S, const void* B, int32_t N) {
      EXPECT_EQ(S, &Port);
      EXPECT_EQ(B, LastBlock);
      Log.Add("link.RxBuf " + std::string(static_cast<const char*>(B), static_cast<size_t>(N)));
    };
    Port.AttachLink(&Link);
  }

  TPty Pty;
  TLog Log;
  const void* LastBlock = nullptr;
  TComLink Link;
  TTestPort Port;
};

TEST(EventMaskTest, EventsMapOneToOneOnTheWin32Bits) {
  const struct {
    TComEvent Event;
    uint32_t Bit;
  } Table[] = {{evRxChar, 0x1},  {evRxFlag, 0x2},  {evTxEmpty, 0x4}, {evCTS, 0x8},    {evDSR, 0x10},
               {evRLSD, 0x20},   {evBreak, 0x40},  {evError, 0x80},  {evRing, 0x100}, {evRx80Full, 0x400}};
  for (const auto& E : Table) {
    EXPECT_EQ(EventsToMask({E.Event}), E.Bit) << int(E.Event);
    EXPECT_EQ(MaskToEvents(E.Bit), TComEvents{E.Event}) << int(E.Event);
  }
  EXPECT_EQ(EventsToMask(AllComEvents), 0x05FFu);
  EXPECT_EQ(MaskToEvents(0x05FF), AllComEvents);
  EXPECT_TRUE(MaskToEvents(0x0200 | 0x0800 | 0x10000).Empty());
  EXPECT_EQ(EventsToMask({}), 0u);
}

TEST_F(EventsTest, ALinkTakesTheBlockOnceAndNoRxCharFollows) {
  LinkTakesBlocks();
  std::vector<bool> Activity;
  Link.OnRxActivity = [&](TObject*, bool On) { Activity.push_back(On); };
  Port.Open();
  EXPECT_TRUE(Port.EventThreadCreated());
  Pty.Send("hello");
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 2; }));
  EXPECT_EQ(Log.Items(), (std::vector<std::string>{"RxBuf hello", "link.RxBuf hello"}));
  EXPECT_EQ(Activity, (std::vector<bool>{true, false}));
  EXPECT_EQ(Port.InputQueueCount(), 0);
}

TEST_F(EventsTest, WithoutALinkRxCharReportsTheCountAndTheBytesStay) {
  // Assigned after attaching: the link does not count as taking blocks.
  Port.AttachLink(&Link);
  Link.OnRxBuf = [this](TObject*, const void*, int32_t) { Log.Add("link.RxBuf"); };
  EXPECT_FALSE(Port.HasRxBufLink());
  Port.Open();
  Pty.Send("hello");
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 1; }));
  EXPECT_EQ(Log.Items(), std::vector<std::string>{"RxChar 5"});
  EXPECT_EQ(Port.InputQueueCount(), 5);
  std::string S;
  EXPECT_EQ(Port.ReadString(S, 10), 5);
  EXPECT_EQ(S, "hello");
}

TEST_F(EventsTest, DiscardedNulBytesReachNeitherTheCountNorTheLinks) {
  using namespace std::string_literals;
  LinkTakesBlocks();
  Port.SetDiscardNull(true);
  Port.Open();
  Pty.Send("\0h\0\0i\0"s);
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 2; }));
  EXPECT_EQ(Log.Items(), (std::vector<std::string>{"RxBuf hi", "link.RxBuf hi"}));
}

// Input a count took in while the thread waited for its hand-over is announced by the thread.
TEST_F(EventsTest, InputACountTookInIsStillAnnounced) {
  using namespace std::string_literals;
  Port.SetDiscardNull(true);
  Port.Open();
  Pty.Send("a");
  ASSERT_TRUE(WaitForHandOvers(3000ms));
  Pty.Send("\0c"s);
  ASSERT_TRUE(WaitUntil([&] { return Port.InputQueueCount() == 2; }));
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 2; }));
  EXPECT_EQ(Log.Items(), (std::vector<std::string>{"RxChar 2", "RxChar 2"}));
}

TEST_F(EventsTest, NoEventsMeansNoThreadAndNothingRaised) {
  Port.SetEvents({});
  Port.Open();
  EXPECT_FALSE(Port.EventThreadCreated());
  Pty.Send("abc");
  ASSERT_TRUE(WaitForInput(Port, 3));
  EXPECT_FALSE(WaitForHandOvers(30ms));
  EXPECT_EQ(Log.Size(), 0u);
  // Events set while open wait for the next open.
  Port.SetEvents(AllComEvents);
  EXPECT_FALSE(Port.EventThreadCreated());
  Port.Close();
  Port.Open();
  EXPECT_TRUE(Port.EventThreadCreated());
}

TEST_F(EventsTest, OneBatchIsHandledInTheSameOrderUnderEverySyncMethod) {
  for (TSyncMethod Sync : {smThreadSync, smWindowSync, smNone}) {
    Log.Clear();
    Port.SetSyncMethod(Sync);
    Port.SetEventChar('\n');
    Port.Buffer().SetInputSize(10);
    Port.Open();
    // Nine bytes into a queue of ten: received, event character and 80 % full in one batch.
    Pty.Send("abcdefgh\n");
    ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 3; })) << int(Sync);
    EXPECT_EQ(Log.Items(), (std::vector<std::string>{"RxChar 9", "RxFlag", "Rx80Full"})) << int(Sync);
    Port.Close();
  }
}

TEST_F(EventsTest, TransmitEmptyFollowsAWrite) {
  Link.OnTxActivity = [this](TObject*, bool On) { Log.Add(On ? "link.Tx+" : "link.Tx-"); };
  Link.OnTxEmpty = [this](TObject*) { Log.Add("link.TxEmpty"); };
  Port.AttachLink(&Link);
  Port.Open();
  Port.WriteString("x");
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 4; }));
  EXPECT_EQ(Log.Items(), (std::vector<std::string>{"link.Tx+", "link.Tx-", "link.TxEmpty", "TxEmpty"}));
  EXPECT_EQ(Pty.Receive(1), "x");
}

TEST_F(EventsTest, ErrorStepRunsBeforeTheReceivedDataStep) {
  Port.SetEvents({evRxChar});
  Port.Open();
  Pty.Send("ab");
  ASSERT_TRUE(WaitForQueuedInput(Port, 2));
  Pty.CloseMaster();
  Port.HandleEvents({evRxChar, evError});
  EXPECT_EQ(Log.Items(), (std::vector<std::string>{"Error " + std::to_string(TComErrors{ceIO}.ToBits()), "RxChar 2"}));
}

// The bytes the port took in before the other end hung up are still counted and read.
TEST_F(EventsTest, AfterAHangUpTheQueueIsCountedAndRead) {
  Port.SetEvents({evRxChar});
  Port.Open();
  Pty.Send("abc");
  ASSERT_TRUE(WaitForQueuedInput(Port, 3));
  Pty.CloseMaster();
  EXPECT_EQ(Port.InputQueueCount(), 3);
  std::string S;
  EXPECT_EQ(Port.ReadString(S, 3), 3);
  EXPECT_EQ(S, "abc");
  EXPECT_EQ(Port.InputQueueCount(), 0);
  EXPECT_EQ(Port.LineErrors(), TComErrors{ceIO});
}

TEST_F(EventsTest, CloseReturnsWhileTheThreadWaitsForItsHandOver) {
  // Another port's batch is queued first; Close serves it, and its handler holds the owner until
  // the port's own batch leaves the queue (bounded), so a thread that withdraws on the stop shows.
  TPty OtherPty;
  TComPort Other;
  Other.SetPort(OtherPty.Path());
  Other.OnRxChar = [&](TObject*, int32_t) {
    const auto End = Clock::now() + 300ms;
    while (WaitForHandOvers(0ms) && Clock::now() < End) std::this_thread::yield();
  };
  Other.Open();
  Port.Open();
  OtherPty.Send("o");
  ASSERT_TRUE(WaitForHandOvers(3000ms));
  Pty.Send("z");
  // The thread has taken the byte from the driver, so its batch is on the way to the queue.
  ASSERT_TRUE(WaitForQueuedInput(Port, 1));
  {
    TWatchdog Guard(10s);
    Port.Close();
  }
  EXPECT_FALSE(Port.Connected());
  EXPECT_FALSE(Port.EventThreadCreated());
  // Close served the pending batch before letting the thread go; nothing is left queued.
  EXPECT_EQ(Log.Items(), std::vector<std::string>{"RxChar 1"});
  EXPECT_FALSE(WaitForHandOvers(0ms));
  Other.Close();
}

// OnBeforeClose throws in the destructor: the thread and its queued calls must be gone before the
// port is, and the device let go.
TEST_F(EventsTest, DestroyingAPortWhoseCloseThrowsLeavesNoCallBehind) {
  for (TSyncMethod Sync : {smThreadSync, smWindowSync}) {
    SCOPED_TRACE(int(Sync));
    TLog Calls;
    {
      TWatchdog Guard(10s);
      TComPort Doomed;
      Doomed.SetPort(Pty.Path());
      Doomed.SetSyncMethod(Sync);
      Doomed.OnRxChar = [&](TObject*, int32_t) { Calls.Add("RxChar"); };
      Doomed.OnBeforeClose = [](TObject*) { throw std::runtime_error("refused"); };
      Doomed.Open();
      Pty.Send("z");
      ASSERT_TRUE(WaitForHandOvers(3000ms));
    }
    EXPECT_FALSE(WaitForHandOvers(0ms));
    EXPECT_EQ(ServeHandOvers(), 0);
    EXPECT_EQ(Calls.Size(), 0u);
    // The device was let go: it opens again.
    Port.SetEvents({});
    Port.Open();
    EXPECT_TRUE(Port.Connected());
    Port.Close();
  }
}

TEST_F(EventsTest, AHandlerMayCloseThePortItIsCalledFor) {
  LinkTakesBlocks();
  Port.OnRxBuf = [this](TObject*, const void* B, int32_t N) {
    Log.Add("RxBuf " + std::string(static_cast<const char*>(B), static_cast<size_t>(N)));
    LastBlock = B;
    Port.Close();
  };
  Port.Open();
  Pty.Send("q");
  {
    TWatchdog Guard(10s);
    ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 2; }));
  }
  EXPECT_EQ(Log.Items(), (std::vector<std::string>{"RxBuf q", "link.RxBuf q"}));
  EXPECT_FALSE(Port.Connected());
  EXPECT_FALSE(Port.EventThreadCreated());
}

// While Close waits for the event thread it serves a pending batch; the handlers of that batch
// close this port, close it through another port, or move it to another device.
TEST_F(EventsTest, AHandlerServedByCloseMayCloseOrReopenThePort) {
  TPty OtherPty;
  TComPort Other;
  Other.SetPort(OtherPty.Path());
  int AfterClose = 0;
  Port.OnAfterClose = [&](TObject*) { ++AfterClose; };
  struct TCase {
    const char* Name;
    bool ByOtherPort;
    std::function<void()> Handler;
  };
  const TCase Cases[] = {
      {"same port closes", false, [&] { Port.Close(); }},
      {"other port closes it", true, [&] { Port.Close(); }},
      {"same port reopens elsewhere", false, [&] { Port.SetPort(OtherPty.Path()); }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    for (int Round = 0; Round < 20; ++Round) {
      AfterClose = 0;
      Port.SetPort(Pty.Path());
      Port.Open();
      TCustomComPort& Source = C.ByOtherPort ? static_cast<TCustomComPort&>(Other) : Port;
      TPty& SourcePty = C.ByOtherPort ? OtherPty : Pty;
      if (C.ByOtherPort) Other.Open();
      Source.OnRxChar = [&](TObject*, int32_t) { C.Handler(); };
      SourcePty.Send("x");
      ASSERT_TRUE(WaitForHandOvers(3000ms));
      {
        TWatchdog Guard(10s);
        Port.Close();
      }
      EXPECT_FALSE(Port.Connected());
      EXPECT_FALSE(Port.EventThreadCreated());
      EXPECT_EQ(AfterClose, 1);
      Other.Close();
      ServeHandOvers();
    }
  }
}

// The handler closes the port between the steps of one batch: the later steps do not run.
TEST_F(EventsTest, AfterAHandlerClosesThePortTheRestOfItsBatchIsSkipped) {
  Port.SetEventChar('!');
  Port.SetEvents({evRxChar, evRxFlag});
  Port.OnRxChar = [this](TObject*, int32_t) {
    Log.Add("RxChar");
    Port.Close();
  };
  Port.OnAfterClose = [this](TObject*) { Log.Add("AfterClose"); };
  Port.Open();
  Pty.Send("!");
  {
    TWatchdog Guard(10s);
    ASSERT_TRUE(ServeUntil([&] { return !Port.Connected(); }));
  }
  ServeHandOvers();
  EXPECT_EQ(Log.Items(), (std::vector<std::string>{"RxChar", "AfterClose"}));
}

TEST_F(EventsTest, AHandlerErrorUnderThreadSyncEndsEventsSilentlyUntilReopened) {
  std::vector<std::string> Shown;
  SetComErrorDisplay([&](const std::exception& E) { Shown.push_back(E.what()); });
  Port.OnRxChar = [this](TObject*, int32_t N) {
    Log.Add("RxChar " + std::to_string(N));
    throw std::runtime_error("handler failed");
  };
  Port.Open();
  Pty.Send("a");
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 1; }));
  Pty.Send("b");
  EXPECT_FALSE(ServeUntil([&] { return Log.Size() >= 2; }, 100));
  EXPECT_TRUE(Shown.empty());
  EXPECT_TRUE(Port.Connected());
  Port.Close();
  Port.Open();
  Pty.Send("c");
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 2; }));
  EXPECT_EQ(Log.Items(), (std::vector<std::string>{"RxChar 1", "RxChar 1"}));
}

TEST_F(EventsTest, AHandlerErrorUnderWindowSyncIsShownAndEventsGoOn) {
  std::vector<std::string> Shown;
  SetComErrorDisplay([&](const std::exception& E) { Shown.push_back(E.what()); });
  Port.OnRxChar = [this](TObject*, int32_t N) {
    Log.Add("RxChar " + std::to_string(N));
    throw EComPort(CError_InvalidAsync);
  };
  Port.SetSyncMethod(smWindowSync);
  Port.Open();
  Pty.Send("a");
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 1; }));
  Pty.Send("b");
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 2; }));
  EXPECT_EQ(Shown, (std::vector<std::string>{"Invalid Async parameter", "Invalid Async parameter"}));
}

TEST_F(EventsTest, AFullQueueStopsTakingInputAndLosesNothing) {
  Port.Buffer().SetInputSize(16);
  Port.Open();
  std::string Sent;
  for (int I = 0; I < 100; ++I) Sent += static_cast<char>('0' + I % 64);
  Pty.Send(Sent);
  ASSERT_TRUE(WaitForInput(Port, 100));
  ServeHandOvers();
  std::string Got;
  EXPECT_EQ(Port.ReadString(Got, 200), 100);
  EXPECT_EQ(Got, Sent);
}

TEST_F(EventsTest, AWaitingReadWakesForInputTheThreadQueued) {
  Port.Timeouts().SetReadTotalConstant(5000);
  Port.Open();
  std::thread Device([this] {
    std::this_thread::sleep_for(20ms);
    Pty.Send("12345");
  });
  const auto Start = Clock::now();
  std::string S;
  EXPECT_EQ(Port.ReadString(S, 5), 5);
  EXPECT_LT(Clock::now() - Start, 2500ms);
  EXPECT_EQ(S, "12345");
  Device.join();
}

TEST_F(EventsTest, AHungUpDeviceIsReportedOnceAndCostsNoCpu) {
  Port.Open();
  Pty.CloseMaster();
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() >= 1; }));
  EXPECT_EQ(Log.Items(), std::vector<std::string>{"Error " + std::to_string(TComErrors{ceIO}.ToBits())});
  timespec Before{}, After{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Before);
  std::this_thread::sleep_for(1s);
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &After);
  const double Spent = double(After.tv_sec - Before.tv_sec) + double(After.tv_nsec - Before.tv_nsec) / 1e9;
  EXPECT_LT(Spent, 0.05);
  ServeHandOvers();
  EXPECT_EQ(Log.Size(), 1u);
  Port.Close();
  EXPECT_FALSE(Port.Connected());
}

}  // namespace
