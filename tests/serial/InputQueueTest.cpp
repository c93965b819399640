// The input queue's size: bounded, and a thread that stopped for a full queue goes on when it grows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>

#include "CPort.h"
#include "EventTools.h"
#include "Pty.h"

namespace {

TEST(InputQueueTest, RaisingInputSizeWhileTheQueueIsFullWakesTheThread) {
  TPty Pty;
  TLog Log;
  TComPort Port;
  Port.SetPort(Pty.Path());
  Port.SetEvents({evRxChar, evRxFlag});
  Port.SetEventChar('!');
  Port.Buffer().SetInputSize(16);
  Port.OnRxChar = [&](TObject*, int32_t) { Log.Add("RxChar"); };
  Port.OnRxFlag = [&](TObject*) { Log.Add("RxFlag"); };
  Port.Open();
  // The thread takes 16 bytes and stops listening; the event character waits in the driver.
  Pty.Send(std::string(99, 'a') + "!");
  ASSERT_TRUE(WaitForInput(Port, 100));
  ASSERT_TRUE(ServeUntil([&] { return Log.Size() > 0; }));
  Port.Buffer().SetInputSize(1024);
  ASSERT_TRUE(ServeUntil([&] {
    const auto Items = Log.Items();
    return !Items.empty() && Items.back() == "RxFlag";
  }));
  std::string Got;
  EXPECT_EQ(Port.ReadString(Got, 200), 100);
}

TEST(InputQueueTest, AnInputSizeAboveTheLimitIsRefusedWithNine) {
  TPty Pty;
  TComPort Port;
  OpenWithoutEvents(Port, Pty);
  const struct {
    int32_t Size;
    bool Taken;
  } Cases[] = {{MaxInputSize, true}, {MaxInputSize + 2, false}, {INT32_MAX - 1, false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Size);
    Port.Buffer().SetInputSize(1024);
    // While open: refused, stored, still open.
    int32_t System = 0;
    EXPECT_EQ(CodeOf([&] { Port.Buffer().SetInputSize(C.Size); }, &System), C.Taken ? 0 : 9);
    if (!C.Taken) {
      EXPECT_EQ(System, EINVAL);
    }
    EXPECT_EQ(Port.Buffer().InputSize(), C.Size);
    EXPECT_TRUE(Port.Connected());
    // At the next open: refused, closed.
    Port.Close();
    EXPECT_EQ(CodeOf([&] { Port.Open(); }, &System), C.Taken ? 0 : 9);
    EXPECT_EQ(Port.Connected(), C.Taken);
    if (!Port.Connected()) {
      Port.Buffer().SetInputSize(1024);
      Port.Open();
    }
  }
}

// With the receive filter on, input passes through the port's queue; a count or a read takes no
// more into it than InputSize, however much the peer sends.
TEST(InputQueueTest, FilteredInputIsTakenInNoFurtherThanInputSize) {
  TPty Pty;
  TComPort Port;
  Port.SetDiscardNull(true);
  Port.Buffer().SetInputSize(64);
  OpenWithoutEvents(Port, Pty);
  std::string Sent;
  for (int I = 0; I < 3000; ++I) Sent += (I % 10 == 0) ? '\0' : static_cast<char>('a' + I % 26);
  Pty.Send(Sent);
  ASSERT_TRUE(WaitUntil([&] { return Port.InputQueueCount() > 0; }));
  EXPECT_LE(Port.InputQueueCount(), 64);
  std::string Got, Part;
  while (Got.size() < 2700 && WaitUntil([&] { return Port.InputQueueCount() > 0; }))
    Got += (Port.ReadString(Part, 50), Part);
  Sent.erase(std::remove(Sent.begin(), Sent.end(), '\0'), Sent.end());
  EXPECT_TRUE(Got == Sent);
}

}  // namespace
