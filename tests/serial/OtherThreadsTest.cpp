// Reads and writes on threads other than the owner's while the owner closes the port.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

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

}  // namespace
