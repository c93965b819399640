#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "CPort.h"
#include "Pty.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class ReadWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenWithoutEvents(Port, Pty);
  }
  TPty Pty;
  TComLink L;  // outlives the port, which notifies it on close
  TComPort Port;
};

// A read of 4 bytes on another thread; its error code and system code.
std::future<std::pair<int, int32_t>> BlockedRead(TComPort& Port) {
  return std::async(std::launch::async, [&Port] {
    char Buf[4];
    int32_t Sys = 0;
    const int Code = CodeOf([&] { Port.Read(Buf, 4); }, &Sys);
    return std::make_pair(Code, Sys);
  });
}

TEST_F(ReadWriteTest, DefaultTimeoutsReadWhatIsWaitingAndReturnAtOnce) {
  std::string S = "old";
  EXPECT_EQ(Port.ReadString(S, 1), 0);
  EXPECT_EQ(S, "");
  Pty.Send("E");
  ASSERT_TRUE(WaitForInput(Port, 1));
  EXPECT_EQ(Port.ReadString(S, 1), 1);
  EXPECT_EQ(S, "E");
  EXPECT_EQ(Port.ReadString(S, 0), 0);
  EXPECT_EQ(S, "");

  Pty.Send("abcd");
  ASSERT_TRUE(WaitForInput(Port, 4));
  char Buf[10];
  std::fill(std::begin(Buf), std::end(Buf), '#');
  EXPECT_EQ(Port.Read(Buf, 10), 4);
  EXPECT_EQ(std::string(Buf, 10), "abcd######");
  EXPECT_EQ(Port.InputQueueCount(), 0);
}

TEST_F(ReadWriteTest, WritesReachTheDeviceAndTheLinks) {
  std::vector<std::string> Seen;
  L.OnTxData = [&](TObject* Sender, const void* B, int32_t N) {
    EXPECT_EQ(Sender, &Port);
    Seen.push_back(std::string(static_cast<const char*>(B), static_cast<size_t>(N)));
  };
  L.OnTxActivity = [&](TObject*, bool On) { Seen.push_back(On ? "tx+" : "tx-"); };
  Port.AttachLink(&L);
  EXPECT_EQ(Port.WriteString(""), 0);
  EXPECT_TRUE(Seen.empty());
  EXPECT_EQ(Port.WriteString("y"), 1);
  const char Image[3] = {'\0', '\x1b', '\xff'};
  EXPECT_EQ(Port.Write(Image, 3), 3);
  EXPECT_EQ(Pty.Receive(4), std::string("y") + std::string(Image, 3));
  EXPECT_EQ(Seen, (std::vector<std::string>{"tx+", "y", "tx+", std::string(Image, 3)}));
}

TEST_F(ReadWriteTest, AReadThatEmptiesTheQueueTellsTheLinks) {
  std::vector<bool> Activity;
  L.OnRxActivity = [&](TObject*, bool On) { Activity.push_back(On); };
  Port.AttachLink(&L);
  Pty.Send("xyz");
  ASSERT_TRUE(WaitForInput(Port, 3));
  char Buf[2];
  EXPECT_EQ(Port.Read(Buf, 2), 2);
  EXPECT_TRUE(Activity.empty());
  EXPECT_EQ(Port.Read(Buf, 2), 1);
  EXPECT_EQ(Activity, std::vector<bool>{false});
}

TEST_F(ReadWriteTest, TimeLimitsEndReadsWithTheirCountAndNoError) {
  char Buf[10];
  // Total limit: 3 of 10 bytes.
  Port.Timeouts().SetReadTotalConstant(30);
  Pty.Send("123");
  ASSERT_TRUE(WaitForInput(Port, 3));
  auto Start = Clock::now();
  EXPECT_EQ(Port.Read(Buf, 10), 3);
  EXPECT_GE(Clock::now() - Start, 30ms);
  EXPECT_EQ(std::string(Buf, 3), "123");

  // Interval limit with no total: the clock starts after the first byte.
  Port.Timeouts().SetReadTotalConstant(0);
  Port.Timeouts().SetReadInterval(20);
  Pty.Send("45");
  ASSERT_TRUE(WaitForInput(Port, 2));
  Start = Clock::now();
  EXPECT_EQ(Port.Read(Buf, 10), 2);
  EXPECT_GE(Clock::now() - Start, 20ms);

  // Interval -1 with the multiplier all bits set: the first byte ends the read.
  Port.Timeouts().SetReadInterval(-1);
  Port.Timeouts().SetReadTotalMultiplier(-1);
  Port.Timeouts().SetReadTotalConstant(5000);
  Pty.Send("6");
  ASSERT_TRUE(WaitForInput(Port, 1));
  Start = Clock::now();
  EXPECT_EQ(Port.Read(Buf, 10), 1);
  EXPECT_LT(Clock::now() - Start, 2500ms);
  Port.Timeouts().SetReadTotalConstant(20);
  EXPECT_EQ(Port.Read(Buf, 10), 0);

  // A read that gets all it asked for does not wait for the limit.
  Port.Timeouts().SetReadTotalMultiplier(0);
  Port.Timeouts().SetReadTotalConstant(5000);
  Pty.Send("78");
  Start = Clock::now();
  EXPECT_EQ(Port.Read(Buf, 2), 2);
  EXPECT_LT(Clock::now() - Start, 2500ms);
}

TEST_F(ReadWriteTest, AWriteOnALineStoppedByFlowControlEndsByItsLimit) {
  Port.FlowControl().SetXonXoffOut(true);
  Port.Timeouts().SetWriteTotalMultiplier(0);
  Port.Timeouts().SetWriteTotalConstant(30);
  // The marker arrives after the XOFF has been taken: the line is stopped by then.
  Pty.Send("\x13m");
  ASSERT_TRUE(WaitForInput(Port, 1));
  const auto Start = Clock::now();
  EXPECT_EQ(Port.WriteString("z"), 0);
  EXPECT_GE(Clock::now() - Start, 30ms);
  EXPECT_EQ(Pty.Receive(1, 20), "");
  Pty.Send("\x11");
  EXPECT_TRUE(WaitUntil([&] { return Port.WriteString("w") == 1; }));
  EXPECT_EQ(Pty.Receive(1), "w");
}

TEST_F(ReadWriteTest, AFullDeviceEndsALongWriteWithAPartialCount) {
  Port.Timeouts().SetWriteTotalMultiplier(0);
  Port.Timeouts().SetWriteTotalConstant(30);
  const std::string Big(1 << 20, 'b');
  const int32_t Done = Port.WriteString(Big);
  EXPECT_GT(Done, 0);
  EXPECT_LT(Done, 1 << 20);
}

TEST_F(ReadWriteTest, AsyncFormsStartWaitAndReport) {
  PAsync R = nullptr;
  EXPECT_EQ(CodeOf([&] { Port.WriteAsync("a", 1, R); }), 4);
  EXPECT_EQ(CodeOf([&] { Port.ReadAsync(nullptr, 0, R); }), 4);
  EXPECT_EQ(CodeOf([&] { Port.WaitAsync(R); }), 4);

  CreateAsyncRequest(R);
  EXPECT_EQ(R->Kind(), TAsyncKind::None);
  EXPECT_EQ(Port.WaitAsync(R), 0);
  EXPECT_EQ(Port.WriteStringAsync("hello", R), 5);
  EXPECT_EQ(R->Kind(), TAsyncKind::Write);
  EXPECT_EQ(std::string(R->Data().begin(), R->Data().end()), "hello");
  EXPECT_EQ(Port.WaitAsync(R), 5);
  FreeAsyncRequest(R);
  EXPECT_EQ(R, nullptr);
  EXPECT_EQ(Pty.Receive(5), "hello");

  // A read with no limit stays pending until its bytes come.
  Port.Timeouts().SetReadInterval(0);
  CreateAsyncRequest(R);
  std::string S;
  EXPECT_EQ(Port.ReadStringAsync(S, 3, R), 0);
  EXPECT_EQ(S.size(), 3u);
  Pty.Send("abc");
  EXPECT_EQ(Port.WaitAsync(R), 3);
  EXPECT_EQ(S, "abc");
  FreeAsyncRequest(R);

  // Bad arguments: code 2 or 3, nothing written.
  int32_t Sys = 0;
  char Buf[1];
  EXPECT_EQ(CodeOf([&] { Port.Write(nullptr, 4); }, &Sys), 2);
  EXPECT_EQ(Sys, EFAULT);
  EXPECT_EQ(CodeOf([&] { Port.Read(Buf, -1); }, &Sys), 3);
  EXPECT_EQ(Sys, EINVAL);
  EXPECT_TRUE(Port.Connected());
}

TEST_F(ReadWriteTest, AbortReleasesAReadBlockedInAnotherThread) {
  Port.Timeouts().SetReadInterval(0);
  auto Blocked = BlockedRead(Port);
  // Abort until the read has been caught waiting (it may not have started yet).
  const auto End = Clock::now() + 5s;
  while (Blocked.wait_for(2ms) != std::future_status::ready && Clock::now() < End) Port.AbortPendingIO();
  ASSERT_EQ(Blocked.wait_for(0s), std::future_status::ready);
  const auto Result = Blocked.get();
  EXPECT_EQ(Result.first, 3);
  EXPECT_EQ(Result.second, ECANCELED);
  EXPECT_TRUE(Port.Connected());

  // A request started before the abort and waited for after it is cancelled too.
  PAsync R = nullptr;
  CreateAsyncRequest(R);
  char Buf[4];
  Port.ReadAsync(Buf, 4, R);
  Port.AbortPendingIO();
  EXPECT_EQ(CodeOf([&] { Port.WaitAsync(R); }), 3);
  FreeAsyncRequest(R);
  // A later read is not.
  Pty.Send("ok");
  EXPECT_EQ(Port.Read(Buf, 2), 2);

  Port.Close();
  int32_t Sys = 0;
  EXPECT_EQ(CodeOf([&] { Port.AbortPendingIO(); }, &Sys), 5);
  EXPECT_EQ(Sys, EBADF);
}

TEST_F(ReadWriteTest, AHungUpDeviceFailsReadsAndWritesWithEioAndNeverHangs) {
  Port.Timeouts().SetReadInterval(0);
  auto Blocked = BlockedRead(Port);
  Pty.CloseMaster();
  if (Blocked.wait_for(5s) != std::future_status::ready) {
    Port.AbortPendingIO();
    FAIL() << "read hung after hang-up";
  }
  const auto Result = Blocked.get();
  EXPECT_EQ(Result.first, 3);
  EXPECT_EQ(Result.second, EIO);

  int32_t Sys = 0;
  EXPECT_EQ(CodeOf([&] { Port.WriteString("x"); }, &Sys), 2);
  EXPECT_EQ(Sys, EIO);
  // Reported once as a line error.
  EXPECT_EQ(Port.LineErrors(), TComErrors{ceIO});
  EXPECT_TRUE(Port.LineErrors().Empty());
  EXPECT_TRUE(Port.Connected());
  Port.Close();
  EXPECT_FALSE(Port.Connected());
}

// Bytes the port took from the driver before the other end hung up are still the caller's: a
// read asking for more returns them, as its time limit would end it, and only the next one fails.
// The event thread takes them in ahead of the read, or the receive filter does.
TEST(ReadAfterHangUpTest, ReturnsTheBytesThePortHolds) {
  using namespace std::string_literals;
  for (const bool Filtered : {false, true}) {
    SCOPED_TRACE(Filtered ? "through the filter" : "by the event thread");
    TPty Pty;
    TComPort Port;
    Port.SetPort(Pty.Path());
    Port.SetEvents(Filtered ? TComEvents{} : TComEvents{evRxChar});
    Port.SetDiscardNull(Filtered);
    Port.Open();
    Pty.Send(Filtered ? "a\0bc"s : "abc"s);
    ASSERT_TRUE(WaitForQueuedInput(Port, 3));
    Pty.CloseMaster();
    std::string S;
    int32_t Read = -1;
    EXPECT_EQ(CodeOf([&] { Read = Port.ReadString(S, 10); }), 0);
    EXPECT_EQ(Read, 3);
    EXPECT_EQ(S, "abc");
    int32_t Sys = 0;
    EXPECT_EQ(CodeOf([&] { Port.ReadString(S, 10); }, &Sys), 3);
    EXPECT_EQ(Sys, EIO);
  }
}

TEST_F(ReadWriteTest, DiscardNullDropsNulBytesFromReadsAndFromTheCount) {
  using namespace std::string_literals;
  Port.SetDiscardNull(true);
  Pty.Send("a\0b\0\0c"s);
  ASSERT_TRUE(WaitUntil([&] { return Port.InputQueueCount() == 3; }));
  std::string S;
  EXPECT_EQ(Port.ReadString(S, 10), 3);
  EXPECT_EQ(S, "abc");
  EXPECT_EQ(Port.InputQueueCount(), 0);

  // A read that finds only NUL bytes waits on for data.
  Port.Timeouts().SetReadTotalConstant(5000);
  Pty.Send("\0\0"s);
  Pty.Send("\0xy"s);
  EXPECT_EQ(Port.ReadString(S, 2), 2);
  EXPECT_EQ(S, "xy");

  Port.SetDiscardNull(false);
  Pty.Send("\0z"s);
  EXPECT_EQ(Port.ReadString(S, 2), 2);
  EXPECT_EQ(S, "\0z"s);
}

// A line error can only come from a real line (see RxFilterTest); a pty shows that the marking the
// replacement needs leaves every data byte as it was, \377 included.
TEST_F(ReadWriteTest, WithErrorsReplacedDataBytesArriveUnchanged) {
  using namespace std::string_literals;
  Port.Parity().SetCheck(true);
  Port.Parity().SetReplace(true);
  Port.Parity().SetReplaceChar('?');
  const std::string Data = "\377\0A\377\377\0"s;
  Pty.Send(Data);
  ASSERT_TRUE(WaitUntil([&] { return Port.InputQueueCount() == 6; }));
  std::string S;
  EXPECT_EQ(Port.ReadString(S, 10), 6);
  EXPECT_EQ(S, Data);
}

// A refused setting leaves the driver as it was; the receive path must keep reading as the driver
// sends, not as the refused setting would have it.
TEST_F(ReadWriteTest, RefusedErrorReplacementLeavesReceivedBytesAlone) {
  using namespace std::string_literals;
  // 1.5 stop bits after 8 data bits: every line setting from now on is refused.
  EXPECT_EQ(CodeOf([&] { Port.SetStopBits(sbOne5StopBits); }), 7);
  EXPECT_EQ(CodeOf([&] { Port.Parity().SetCheck(true); }), 7);
  EXPECT_EQ(CodeOf([&] { Port.Parity().SetReplace(true); }), 7);
  const std::string Data = "\377\377A\377\0B"s;
  Pty.Send(Data);
  ASSERT_TRUE(WaitUntil([&] { return Port.InputQueueCount() == 6; }));
  std::string S;
  EXPECT_EQ(Port.ReadString(S, 10), 6);
  EXPECT_EQ(S, Data);
}

// A write that waits for room goes on from its own copy: the caller may free or reuse its buffer
// as soon as the write started, and the links hear of the bytes that went.
TEST_F(ReadWriteTest, APendingWriteSendsTheBytesItWasGivenWhateverBecomesOfTheCallersBuffer) {
  const size_t Size = 256 * 1024;  // far more than the pty holds before the peer reads
  std::string Original(Size, '\0');
  for (size_t I = 0; I < Size; ++I) Original[I] = static_cast<char>(I * 7 + I / 251);
  std::string TxData;
  L.OnTxData = [&](TObject*, const void* B, int32_t N) { TxData.append(static_cast<const char*>(B), size_t(N)); };
  Port.AttachLink(&L);
  for (bool Temporary : {false, true}) {
    SCOPED_TRACE(Temporary ? "a temporary" : "a reused buffer");
    TxData.clear();
    PAsync A = nullptr;
    CreateAsyncRequest(A);
    if (Temporary) {
      EXPECT_EQ(Port.WriteStringAsync(std::string(Original), A), 0);
    } else {
      std::vector<char> Buffer(Original.begin(), Original.end());
      EXPECT_EQ(Port.WriteAsync(Buffer.data(), int32_t(Size), A), 0);
      std::fill(Buffer.begin(), Buffer.end(), 'X');
    }
    auto Peer = std::async(std::launch::async, [&] { return Pty.Receive(Size, 10000); });
    EXPECT_EQ(Port.WaitAsync(A), int32_t(Size));
    FreeAsyncRequest(A);
    EXPECT_TRUE(Peer.get() == Original);
    EXPECT_TRUE(TxData == Original);
  }
}

TEST_F(ReadWriteTest, ClosedPortFailsRequestsWithTheirCodes) {
  Port.Close();
  int32_t Sys = 0;
  EXPECT_EQ(CodeOf([&] { Port.WriteString("x"); }, &Sys), 2);
  EXPECT_EQ(Sys, EBADF);
  char Buf[1];
  EXPECT_EQ(CodeOf([&] { Port.Read(Buf, 1); }, &Sys), 3);
  EXPECT_EQ(Sys, EBADF);
}

}  // namespace
