// smWindowSync hands events over without waiting: the calls waiting for the owner stay bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "CPort.h"
#include "EventTools.h"
#include "Pty.h"

namespace {

// Thousands of events while nobody serves leave at most one waiting call per event kind, and the
// waiting call still sees what came after it was queued.
TEST(WindowSyncTest, AtMostOneCallPerEventKindWaitsAndItSeesTheLatestInput) {
  TPty Pty;
  TLog Log;
  TComPort Port;
  Port.SetPort(Pty.Path());
  Port.SetSyncMethod(smWindowSync);
  Port.SetEvents({evRxChar, evTxEmpty});
  Port.Timeouts().SetReadTotalConstant(5000);
  Port.OnRxChar = [&](TObject*, int32_t N) { Log.Add("RxChar " + std::to_string(N)); };
  Port.OnTxEmpty = [&](TObject*) { Log.Add("TxEmpty"); };
  Port.Open();
  for (int Round = 0; Round < 2000; ++Round) {
    Pty.Send("x");
    std::string S;
    ASSERT_EQ(Port.ReadString(S, 1), 1);
    Port.WriteString("y");
    ASSERT_EQ(Pty.Receive(1), "y");
  }
  Pty.Send("end");
  ASSERT_TRUE(WaitForQueuedInput(Port, 3));
  EXPECT_LE(ServeHandOvers(), 2);
  ASSERT_TRUE(ServeUntil([&] {
    const auto Items = Log.Items();
    return std::find(Items.begin(), Items.end(), "RxChar 3") != Items.end();
  }));
  Port.Close();
}

}  // namespace
