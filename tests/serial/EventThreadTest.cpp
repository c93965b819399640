// The event thread's life: started, stopped and joined safely whatever its handlers do.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <string>

#include "CPort.h"
#include "EventTools.h"
#include "Pty.h"

namespace {

using namespace std::chrono_literals;

// Under smNone a handler's write reaches the event thread; the thread must be published before it
// runs and joined before it is dropped (ThreadSanitizer reports it otherwise).
TEST(EventThreadTest, AnSmNoneHandlerThatWritesRacesNeitherWithOpenNorWithClose) {
  TPty Pty;
  TComPort Port;
  Port.SetPort(Pty.Path());
  Port.SetSyncMethod(smNone);
  Port.OnRxChar = [&](TObject*, int32_t N) {
    std::string S;
    Port.ReadString(S, N);
    Port.WriteString(S);
  };
  for (int Round = 0; Round < 20; ++Round) {
    Port.Open();
    Pty.Send("ab");
    EXPECT_EQ(Pty.Receive(2), "ab") << Round;
    Port.Close();
  }
}

// Under smNone the handlers run on the event thread: one that closes its port, or moves it to
// another device, must not make the thread wait for itself, and the thread must still be joined.
TEST(EventThreadTest, AnSmNoneHandlerMayCloseOrReopenItsOwnPort) {
  enum TThen { DestroyThePort, OpenAgain, MoveElsewhere };
  const struct {
    const char* Name;
    TThen Then;
  } Cases[] = {{"closes, then the port is destroyed", DestroyThePort},
               {"closes, then the owner opens again", OpenAgain},
               {"reopens on another device", MoveElsewhere}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TPty Pty, Other;
    const int Before = OpenDescriptorCount();
    {
      TWatchdog Guard(20s);
      TLog Log;
      TComPort Port;
      Port.SetPort(Pty.Path());
      Port.SetSyncMethod(smNone);
      Port.OnAfterClose = [&](TObject*) { Log.Add("AfterClose"); };
      Port.OnRxChar = [&](TObject*, int32_t N) {
        std::string S;
        Port.ReadString(S, N);
        if (S == "x") {
          if (C.Then == MoveElsewhere)
            Port.SetPort(Other.Path());
          else
            Port.Close();
        }
        Log.Add("RxChar " + S);
      };
      Port.Open();
      const int WhileOpen = OpenDescriptorCount();
      Pty.Send("x");
      ASSERT_TRUE(WaitUntil([&] { return Log.Size() >= 2; }));
      EXPECT_EQ(Log.Items(), (std::vector<std::string>{"AfterClose", "RxChar x"}));
      switch (C.Then) {
        case DestroyThePort:
          EXPECT_FALSE(Port.Connected());
          EXPECT_FALSE(Port.EventThreadCreated());
          break;
        case OpenAgain:
          Port.Open();
          // The closed thread was joined and let go: no more descriptors than any open port has.
          EXPECT_EQ(OpenDescriptorCount(), WhileOpen);
          Pty.Send("y");
          ASSERT_TRUE(WaitUntil([&] { return Log.Size() >= 3; }));
          EXPECT_EQ(Log.Items().back(), "RxChar y");
          break;
        case MoveElsewhere:
          EXPECT_TRUE(Port.Connected());
          EXPECT_EQ(Port.Port(), Other.Path());
          Other.Send("y");
          ASSERT_TRUE(WaitUntil([&] { return Log.Size() >= 3; }));
          EXPECT_EQ(Log.Items().back(), "RxChar y");
          break;
      }
    }
    EXPECT_EQ(OpenDescriptorCount(), Before);
  }
}

// What escapes the thread's own body (here the GUI's wake-up hook failing to allocate) ends the
// thread as a failed handler does: the port stays open and quiet until it is opened again.
TEST(EventThreadTest, AnErrorInTheThreadBodyEndsTheThreadLikeAFailedHandler) {
  for (TSyncMethod Sync : {smThreadSync, smWindowSync}) {
    SCOPED_TRACE(int(Sync));
    TPty Pty;
    TLog Log;
    TComPort Port;
    Port.SetPort(Pty.Path());
    Port.SetSyncMethod(Sync);
    Port.OnRxChar = [&](TObject*, int32_t N) {
      std::string S;
      Port.ReadString(S, N);
      Log.Add(S);
    };
    std::atomic<bool> Fail{true};
    SetHandOverWakeUp([&] {
      if (Fail.exchange(false)) throw std::bad_alloc();
    });
    TWatchdog Guard(20s);
    Port.Open();
    Pty.Send("a");
    ASSERT_TRUE(WaitUntil([&] { return !Fail; }));
    ServeHandOvers();
    Log.Clear();
    Pty.Send("b");
    ASSERT_TRUE(WaitForInput(Port, 1));
    EXPECT_FALSE(ServeUntil([&] { return Log.Size() > 0; }, 100));
    EXPECT_TRUE(Port.Connected());
    Port.Close();
    Port.Open();
    Pty.Send("c");
    ASSERT_TRUE(ServeUntil([&] { return Log.Size() > 0; }));
    EXPECT_EQ(Log.Items(), std::vector<std::string>{"c"});
    Port.Close();
    SetHandOverWakeUp(nullptr);
  }
}

}  // namespace
