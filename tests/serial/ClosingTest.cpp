// What a close leaves behind: no request that outlives it, no written byte thrown away, nothing of
// the old session carried into the next.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "CPort.h"
#include "DeviceCalls.h"
#include "EventTools.h"
#include "Pty.h"

namespace {

using namespace std::chrono_literals;

void WaitForever(TComTimeouts& T) {
  T.SetReadInterval(0);
  T.SetReadTotalMultiplier(0);
  T.SetReadTotalConstant(0);
}

// A handler that starts a read with no time limit after the close cancelled the pending ones: the
// close must end it (or refuse it) instead of waiting for it forever.
TEST(ClosingTest, ARequestAHandlerStartsWhileThePortClosesEndsPromptly) {
  for (TSyncMethod Sync : {smThreadSync, smWindowSync, smNone}) {
    SCOPED_TRACE(int(Sync));
    TWatchdog Guard(20s);
    TPty Pty;
    TComPort Port;
    Port.SetPort(Pty.Path());
    Port.SetSyncMethod(Sync);
    Port.SetEvents({evRxChar});
    WaitForever(Port.Timeouts());
    std::mutex Lock;
    std::condition_variable Changed;
    bool Closing = false;
    std::atomic<int> ReadCode{-1};
    std::atomic<bool> Entered{false};
    Port.OnBeforeClose = [&](TObject*) {
      std::lock_guard<std::mutex> L(Lock);
      Closing = true;
      Changed.notify_all();
    };
    Port.OnRxChar = [&](TObject*, int32_t) {
      Entered = true;
      if (Sync == smNone) {
        // On the event thread: wait until the close is under way.
        std::unique_lock<std::mutex> L(Lock);
        Changed.wait(L, [&] { return Closing; });
      }
      char Two[2];
      ReadCode = CodeOf([&] { Port.Read(Two, 2); });
    };
    Port.Open();
    Pty.Send("a");
    // Under thread and window sync the handler is queued, and runs once Close serves it.
    if (Sync == smNone) {
      ASSERT_TRUE(WaitUntil([&] { return Entered.load(); }));
    } else {
      ASSERT_TRUE(WaitForHandOvers(2s));
    }
    Port.Close();
    EXPECT_FALSE(Port.Connected());
    // A close may drop a window-sync call it has not served yet; one that ran was refused.
    if (Sync == smWindowSync && ReadCode.load() == -1) {
      EXPECT_FALSE(Entered.load());
    } else {
      EXPECT_EQ(ReadCode.load(), 3);
    }
    // The next session reads as before.
    Port.OnRxChar = nullptr;
    Port.Open();
    Pty.Send("bc");
    char Two[2];
    EXPECT_EQ(Port.Read(Two, 2), 2);
    Port.Close();
  }
}

// The peer reads slowly; every byte that Write reported written reaches it, also when the port
// closes right after.
TEST(ClosingTest, APseudoTerminalKeepsEveryWrittenByteAtClose) {
  std::string Bytes(12000, '\0');
  for (size_t I = 0; I < Bytes.size(); ++I) Bytes[I] = static_cast<char>('a' + I % 26);
  for (int Round = 0; Round < 50; ++Round) {
    SCOPED_TRACE(Round);
    TPty Pty;
    TComPort Port;
    OpenWithoutEvents(Port, Pty);
    std::string Got;
    std::thread Peer([&] {
      for (;;) {
        pollfd P{Pty.Master(), POLLIN, 0};
        if (::poll(&P, 1, 2000) <= 0) return;
        char Buf[512];
        const ssize_t N = ::read(Pty.Master(), Buf, sizeof Buf);
        if (N <= 0) return;
        Got.append(Buf, static_cast<size_t>(N));
        if (Got.size() >= Bytes.size()) return;
      }
    });
    EXPECT_EQ(Port.WriteString(Bytes), 12000);
    Port.Close();
    Peer.join();
    EXPECT_EQ(Got.size(), Bytes.size());
    EXPECT_TRUE(Got == Bytes);
  }
}

// The driver hands over the first byte of a parity mark, and the session ends before the rest.
class TScriptedInput : public cport_device::TDeviceCalls {
 public:
  explicit TScriptedInput(std::string Path) : FPath(std::move(Path)) { cport_device::SetCalls(this); }
  ~TScriptedInput() override { cport_device::SetCalls(nullptr); }
  void Feed(const std::string& Raw) {
    std::lock_guard<std::mutex> L(FLock);
    FRaw += Raw;
  }
  int Open(const char* Path, int Flags) override {
    const int Fd = TDeviceCalls::Open(Path, Flags);
    if (FPath == Path) FFd = Fd;
    return Fd;
  }
  ssize_t Read(int Fd, void* Buffer, size_t Count) override {
    if (Fd != FFd) return TDeviceCalls::Read(Fd, Buffer, Count);
    std::lock_guard<std::mutex> L(FLock);
    if (FRaw.empty()) {
      errno = EAGAIN;
      return -1;
    }
    const size_t N = std::min(Count, FRaw.size());
    std::memcpy(Buffer, FRaw.data(), N);
    FRaw.erase(0, N);
    return static_cast<ssize_t>(N);
  }

 private:
  const std::string FPath;
  std::atomic<int> FFd{-1};
  std::mutex FLock;
  std::string FRaw;
};

TEST(ClosingTest, AHalfReadMarkEndsWithItsSession) {
  TPty Pty;
  TScriptedInput Driver(Pty.Path());
  TComPort Port;
  Port.SetEvents({});
  Port.SetPort(Pty.Path());
  Port.Parity().SetCheck(true);
  Port.Parity().SetReplace(true);
  Port.Parity().SetReplaceChar('?');
  Port.Open();
  Driver.Feed("\377");
  char Buf[4];
  EXPECT_EQ(Port.Read(Buf, 4), 0);
  Port.Close();
  Port.Open();
  Driver.Feed("A");
  const int32_t N = Port.Read(Buf, 4);
  EXPECT_EQ(std::string(Buf, static_cast<size_t>(N)), "A");
}

// A port told to load while open keeps its one device: the end of loading opens nothing more.
TEST(ClosingTest, TheEndOfLoadingOnAnOpenPortOpensNothingMore) {
  TPty Pty;
  TComPort Port;
  OpenWithoutEvents(Port, Pty);
  const int Before = OpenDescriptorCount();
  Port.BeginLoading();
  Port.SetBaudRate(br19200);
  Port.Loaded();
  EXPECT_TRUE(Port.Connected());
  EXPECT_EQ(OpenDescriptorCount(), Before);
  EXPECT_EQ(DeviceBitRate(Port.Handle()), 19200u);
  Port.Close();
  EXPECT_EQ(ProbeComDevice(Pty.Path()), 0);
}

}  // namespace
