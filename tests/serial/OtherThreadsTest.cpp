// Reads and writes on threads other than the owner's while the owner closes the port.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "CPort.h"
#include "Pty.h"

namespace {

// A request still waiting on the descriptor would keep the device open and locked after Close.
TEST(OtherThreadsTest, WhenCloseReturnsTheDeviceIsFreeWhateverTheOtherThreadsDo) {
  TPty Pty;
  TComPort Port;
  Port.SetEvents({});
  Port.SetPort(Pty.Path());
  Port.Timeouts().SetReadTotalConstant(10000);
  Port.Timeouts().SetWriteTotalConstant(10000);
  std::atomic<bool> Done{false};
  auto Keep = [&](auto Call) {
    return std::thread([&, Call] {
      while (!Done) try {
          Call();
        } catch (const EComPort&) {
        }
    });
  };
  std::thread Reader = Keep([&] {
    char B[16];
    Port.Read(B, sizeof B);
  });
  // Nobody reads the pty's master: the writer soon waits for room.
  std::thread Writer = Keep([&] { Port.WriteString(std::string(4096, 'w')); });
  for (int Round = 0; Round < 1000 && !HasFailure(); ++Round) {
    Port.Open();
    Port.Close();
    TComPort Probe;
    Probe.SetEvents({});
    Probe.SetPort(Pty.Path());
    EXPECT_NO_THROW(Probe.Open()) << Round;
  }
  Done = true;
  Reader.join();
  Writer.join();
}

// Writes on another thread tell the links while the owner attaches and detaches them; every link
// attached for the whole run hears of every write (ThreadSanitizer checks the list is guarded).
TEST(OtherThreadsTest, LinksComeAndGoWhileAnotherThreadWrites) {
  TPty Pty;
  TComPort Port;
  OpenWithoutEvents(Port, Pty);
  std::atomic<int> Heard{0};
  TComLink Steady;
  Steady.OnTxData = [&](TObject*, const void*, int32_t) { ++Heard; };
  Port.AttachLink(&Steady);
  std::atomic<bool> Done{false};
  std::atomic<int> Written{0};
  std::thread Writer([&] {
    while (!Done) {
      Port.WriteString("w");
      ++Written;
    }
  });
  std::thread Peer([&] {
    while (!Done) Pty.Receive(4096, 10);
  });
  std::vector<TComLink> Passing(8);
  for (auto& L : Passing) L.OnTxData = [](TObject*, const void*, int32_t) {};
  for (int Round = 0; Round < 2000; ++Round)
    for (auto& L : Passing) {
      Port.AttachLink(&L);
      Port.DetachLink(&L);
    }
  Done = true;
  Writer.join();
  Peer.join();
  EXPECT_EQ(Heard.load(), Written.load());
  Port.DetachLink(&Steady);
}

}  // namespace
