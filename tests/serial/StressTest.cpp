// Open/close cycles under every sync method with all events, a writer and a blocked reader on
// threads of their own, a device that keeps sending, and handlers that close or reopen the port.
// Run under ThreadSanitizer it must report nothing; it must never hang nor leave a descriptor open.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "CPort.h"
#include "EventTools.h"
#include "Pty.h"

namespace {

using namespace std::chrono_literals;

constexpr int Cycles = 2000;

// The cycle the owner is in; the helper threads act once per cycle and then wait for the next.
class TCycle {
 public:
  void Next() {
    {
      std::lock_guard<std::mutex> L(FLock);
      ++FNumber;
    }
    FChanged.notify_all();
  }
  void Finish() {
    {
      std::lock_guard<std::mutex> L(FLock);
      FFinished = true;
    }
    FChanged.notify_all();
  }
  // Waits for a cycle after Seen; false once finished.
  bool WaitAfter(int& Seen) {
    std::unique_lock<std::mutex> L(FLock);
    FChanged.wait(L, [&] { return FFinished || FNumber != Seen; });
    Seen = FNumber;
    return !FFinished;
  }
  bool Finished() {
    std::lock_guard<std::mutex> L(FLock);
    return FFinished;
  }

 private:
  std::mutex FLock;
  std::condition_variable FChanged;
  int FNumber = 0;
  bool FFinished = false;
};

// Ends the cycles and joins the helper threads, also when a step fails.
struct THelpers {
  TCycle& Cycle;
  std::vector<std::thread> Threads;
  ~THelpers() {
    Cycle.Finish();
    for (std::thread& T : Threads) T.join();
  }
};

// What a handler does once in a cycle.
enum TAct { actNothing, actClose, actReopenElsewhere, actCloseAndOpen };

TEST(StressTest, OpenCloseCyclesWithHandlersThatCloseAndReopenLeaveNoRaceHangOrDescriptor) {
  TPty A, B;
  for (int Master : {A.Master(), B.Master()}) ::fcntl(Master, F_SETFL, ::fcntl(Master, F_GETFL) | O_NONBLOCK);
  const int Before = OpenDescriptorCount();
  {
    TWatchdog Guard(120s);
    TCycle Cycle;
    TComLink Link;  // outlives the port
    TComPort Port;
    std::atomic<TAct> Act{actNothing};
    std::atomic<bool> Acted{false};
    std::atomic<int> Seen{0};
    std::atomic<int64_t> Linked{0};

    // Every event has a handler; the one chosen for the cycle acts once.
    auto ActOnce = [&](TAct When) {
      ++Seen;
      if (Act != When || Acted.exchange(true)) return;
      switch (When) {
        case actClose:
          Port.Close();
          break;
        case actReopenElsewhere:
          Port.SetPort(B.Path());
          break;
        case actCloseAndOpen:
          Port.Close();
          Port.Open();
          break;
        case actNothing:
          break;
      }
    };
    Port.OnRxBuf = [&](TObject*, const void*, int32_t) { ActOnce(actClose); };
    Port.OnTxEmpty = [&](TObject*) { ActOnce(actReopenElsewhere); };
    Port.OnRxFlag = [&](TObject*) { ActOnce(actCloseAndOpen); };
    Port.OnRxChar = [&](TObject*, int32_t) { ++Seen; };
    Port.OnRx80Full = [&](TObject*) { ++Seen; };
    Port.OnError = [&](TObject*, TComErrors) { ++Seen; };
    Port.OnBreak = Port.OnRing = [&](TObject*) { ++Seen; };
    Port.OnCTSChange = Port.OnDSRChange = Port.OnRLSDChange = [&](TObject*, bool) { ++Seen; };
    Link.OnRxBuf = [&](TObject*, const void*, int32_t N) { Linked += N; };
    Port.AttachLink(&Link);
    Port.SetEvents(AllComEvents);
    Port.SetEventChar('!');
    Port.Buffer().SetInputSize(64);
    Port.Timeouts().SetReadTotalConstant(50);
    SetComErrorDisplay([](const std::exception&) {});

    THelpers Helpers{Cycle, {}};
    Helpers.Threads.emplace_back([&] {
      int Number = 0;
      while (Cycle.WaitAfter(Number)) {
        char Buf[256];
        // Blocked until its time limit, or cancelled by a close; a closed port ends the cycle.
        try {
          while (!Cycle.Finished()) Port.Read(Buf, sizeof Buf);
        } catch (const EComPort&) {
        }
      }
    });
    Helpers.Threads.emplace_back([&] {
      int Number = 0;
      while (Cycle.WaitAfter(Number)) {
        try {
          Port.WriteString("w!");
        } catch (const EComPort&) {
        }
      }
    });
    // The devices keep sending, and take whatever the port sends.
    Helpers.Threads.emplace_back([&] {
      while (!Cycle.Finished()) {
        pollfd P[2] = {{A.Master(), POLLIN, 0}, {B.Master(), POLLIN, 0}};
        ::poll(P, 2, 10);
        char Buf[512];
        for (const pollfd& F : P)
          if (F.revents & POLLIN) (void)!::read(F.fd, Buf, sizeof Buf);
        for (int Master : {A.Master(), B.Master()}) (void)!::write(Master, "abcdefgh!", 9);
      }
    });

    for (int I = 0; I < Cycles; ++I) {
      Port.SetSyncMethod(static_cast<TSyncMethod>((I / 4) % 3));
      Port.SetPort(A.Path());
      Act = static_cast<TAct>(I % 4);
      Acted = false;
      Seen = 0;
      Port.Open();
      Cycle.Next();
      // Until the chosen handler acted, or some events went by.
      ServeUntil([&] { return Act == actNothing ? Seen >= 3 : Acted.load(); }, 2000);
      // A handler on the event thread may reopen the port after this Close looked.
      do Port.Close();
      while (Port.Connected());
    }
    EXPECT_GT(Linked.load(), 0);
  }
  SetComErrorDisplay(nullptr);
  ServeHandOvers();
  EXPECT_EQ(OpenDescriptorCount(), Before);
}

}  // namespace
