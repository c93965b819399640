// What only a real UART or USB adapter shows, over a model of its driver (FakeUart): an output
// queue that drains at the line's pace or is held by flow control, settings it replaces, modem
// lines whose counters stand still, DTR and RTS raised by the open.
#include <asm/termbits.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "CPort.h"
#include "FakeUart.h"
#include "Pty.h"

namespace {

class UartDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Port.SetEvents({});
    Port.SetPort(Pty.Path());
  }
  TPty Pty;
  TFakeUart Uart{Pty.Path()};
  std::vector<std::string> Log;
  TComPort Port;
};

std::string Image() {
  std::string Bytes;
  for (int I = 0; I < 256; ++I) Bytes += static_cast<char>(I);
  return Bytes;
}

// The device image of the programmer: 256 bytes that leave 16 at a time. The write ends once they
// have all left, so closing the port at once loses none.
TEST_F(UartDriverTest, AWriteEndsWhenItsBytesHaveLeftAndCloseLosesNone) {
  Port.SetBaudRate(brCustom);
  Port.SetCustomBaudRate(4000000);  // looks 1 ms apart
  Uart.SetOutput(16);
  Port.Open();
  const std::string Bytes = Image();
  EXPECT_EQ(Port.WriteString(Bytes), 256);
  EXPECT_EQ(Uart.Sent(), Bytes);
  Port.Close();
  EXPECT_EQ(Uart.Sent(), Bytes);
}

// The line is held once 100 bytes have left: the write ends by its limit, reports those 100 to the
// caller and the links, and the rest never leaves.
TEST_F(UartDriverTest, AWriteEndedByItsLimitReportsWhatLeftAndSendsNoMore) {
  std::string TxData;
  TComLink Link;
  Link.OnTxData = [&](TObject*, const void* B, int32_t N) { TxData.assign(static_cast<const char*>(B), size_t(N)); };
  Port.AttachLink(&Link);
  Port.Timeouts().SetWriteTotalMultiplier(0);
  Port.Timeouts().SetWriteTotalConstant(30);
  Uart.SetOutput(SIZE_MAX, 100);
  Port.Open();
  const std::string Bytes = Image();
  PAsync R = nullptr;
  CreateAsyncRequest(R);
  EXPECT_EQ(Port.WriteStringAsync(Bytes, R), 0);
  EXPECT_EQ(Port.WaitAsync(R), 100);
  FreeAsyncRequest(R);
  EXPECT_EQ(TxData, Bytes.substr(0, 100));
  EXPECT_EQ(Uart.Sent(), Bytes.substr(0, 100));
  EXPECT_EQ(Uart.Queued(), 0u);

  Uart.SetOutput(16);
  EXPECT_EQ(Port.WriteString("x"), 1);
  EXPECT_EQ(Uart.Sent(), Bytes.substr(0, 100) + "x");
  Port.Close();
  Port.DetachLink(&Link);
}

// Without a time limit a write waits for a held line (up to the stall limit); a cancel ends it
// with code 2 and reports nothing.
TEST_F(UartDriverTest, AWriteWaitingForAHeldLineIsCancelled) {
  Port.Timeouts().SetWriteTotalMultiplier(0);
  Port.Timeouts().SetWriteTotalConstant(0);
  Uart.SetOutput(16, 0);
  Port.Open();
  auto Writing = std::async(std::launch::async, [this] {
    int32_t Sys = 0;
    const int Code = CodeOf([this] { Port.WriteString(Image()); }, &Sys);
    return std::make_pair(Code, Sys);
  });
  ASSERT_TRUE(WaitUntil([&] { return Uart.Queued() == 256; }));
  // The write may not be waiting yet: cancel until it has ended.
  ASSERT_TRUE(WaitUntil([&] {
    Port.AbortPendingIO();
    return Writing.wait_for(std::chrono::milliseconds(1)) == std::future_status::ready;
  }));
  EXPECT_EQ(Writing.get(), std::make_pair(2, ECANCELED));
  EXPECT_EQ(Uart.Sent(), "");
}

// Whether the thread Tid of this process sleeps in the kernel (waiting for a lock, say).
bool Asleep(pid_t Tid) {
  std::ifstream Stat("/proc/self/task/" + std::to_string(Tid) + "/stat");
  const std::string Line((std::istreambuf_iterator<char>(Stat)), std::istreambuf_iterator<char>());
  const size_t End = Line.rfind(')');
  return End != std::string::npos && End + 2 < Line.size() && Line[End + 2] == 'S';
}

// A write held up on its way into a device call while another thread closes and reopens the port:
// the call must reach the descriptor of the write's own session, never the next one's under the
// same number. So the close either waits for the call (seen asleep) or, if it does not, gets as
// far as the next open before the call goes on.
TEST_F(UartDriverTest, AWriteRacingACloseAndReopenStaysWithItsSession) {
  const struct {
    const char* Name;
    unsigned long Request;
  } Calls[] = {{"a look at the output queue", TIOCOUTQ}, {"the flush at the write's limit", TCFLSH}};
  Port.Timeouts().SetWriteTotalMultiplier(0);
  Port.Timeouts().SetWriteTotalConstant(20);
  Uart.SetOutput(SIZE_MAX, 0);
  std::atomic<bool> Closing{false};
  Port.OnBeforeClose = [&](TObject*) { Closing = true; };
  for (const auto& C : Calls) {
    SCOPED_TRACE(C.Name);
    Port.Open();
    const int Session = Uart.Opens();
    Closing = false;
    std::atomic<pid_t> Closer{0};
    std::thread Reopen;
    Uart.PauseAt(C.Request, [&] {
      Reopen = std::thread([&] {
        Closer = ::gettid();
        EXPECT_EQ(CodeOf([&] {
                    Port.Close();
                    Port.Open();
                  }),
                  0);
      });
      WaitUntil([&] { return Uart.Opens() > Session || (Closing && Closer && Asleep(Closer)); });
    });
    // Cancelled by the close, or ended by its limit: either way not the point here.
    (void)CodeOf([&] { Port.WriteString(Image()); });
    Reopen.join();
    EXPECT_EQ(Uart.PausedCallSession(), Session);
    Port.Close();
  }
  Port.OnBeforeClose = nullptr;
}

// A 115200-base UART with 7 and 8 data bits only and no mark or space parity.
void LimitedUart(termios2& T) {
  if (T.c_ospeed > 115200) T.c_ospeed = T.c_ispeed = 115200;
  if ((T.c_cflag & CSIZE) == CS5 || (T.c_cflag & CSIZE) == CS6) T.c_cflag = (T.c_cflag & ~CSIZE) | CS8;
  T.c_cflag &= ~CMSPAR;
}

TEST_F(UartDriverTest, ALineTheDriverReplacesIsRefusedWithSeven) {
  Uart.SetSubstitute(LimitedUart);
  int32_t Sys = 0;
  Port.SetBaudRate(br256000);
  EXPECT_EQ(CodeOf([&] { Port.Open(); }, &Sys), 7);
  EXPECT_EQ(Sys, EINVAL);
  EXPECT_FALSE(Port.Connected());

  Port.SetBaudRate(br115200);
  Port.Open();
  const struct {
    const char* Name;
    std::function<void()> Set, Undo;
  } Refused[] = {
      {"256000 bit/s", [&] { Port.SetBaudRate(br256000); }, [&] { Port.SetBaudRate(br115200); }},
      {"6 data bits", [&] { Port.SetDataBits(dbSix); }, [&] { Port.SetDataBits(dbEight); }},
      {"mark parity", [&] { Port.Parity().SetBits(prMark); }, [&] { Port.Parity().SetBits(prNone); }},
  };
  for (const auto& C : Refused) {
    EXPECT_EQ(CodeOf(C.Set, &Sys), 7) << C.Name;
    EXPECT_EQ(Sys, EINVAL) << C.Name;
    EXPECT_TRUE(Port.Connected()) << C.Name;
    C.Undo();
  }
  // What the UART can do passes, a custom rate within 3 % of one it makes too.
  Port.SetDataBits(dbSeven);
  Port.Parity().SetBits(prEven);
  Port.SetStopBits(sbTwoStopBits);
  Uart.SetSubstitute([](termios2& T) { T.c_ospeed = T.c_ispeed = 115200; });
  Port.SetCustomBaudRate(112000);
  Port.SetBaudRate(brCustom);
  EXPECT_EQ(CodeOf([&] { Port.SetCustomBaudRate(110000); }), 7);
}

// An 8250/16550 without hardware flow control keeps modem-status interrupts off: its counters do
// not move, only the line states do.
TEST_F(UartDriverTest, ModemLineChangesAreReportedWhileTheCountersStandStill) {
  auto Line = [this](const char* Name) {
    return [this, Name](TObject*, bool On) { Log.push_back(std::string(Name) + (On ? "+" : "-")); };
  };
  Port.OnCTSChange = Line("CTS");
  Port.OnDSRChange = Line("DSR");
  Port.OnRLSDChange = Line("RLSD");
  Port.OnRing = [this](TObject*) { Log.push_back("Ring"); };
  Port.SetEvents({evCTS, evDSR, evRLSD, evRing});
  Port.Open();
  Log.clear();
  // Changes count from the thread's first look on.
  const int Looks = Uart.LineLooks();
  ASSERT_TRUE(WaitUntil([&] { return Uart.LineLooks() > Looks; }));

  Uart.SetInputLines(TIOCM_CTS | TIOCM_DSR);
  ASSERT_TRUE(ServeUntil([&] { return Log.size() >= 2; }));
  Uart.SetInputLines(TIOCM_CD | TIOCM_RI);
  ASSERT_TRUE(ServeUntil([&] { return Log.size() >= 5; }));
  Uart.SetInputLines(TIOCM_CD);
  ASSERT_TRUE(ServeUntil([&] { return Log.size() >= 6; }));
  EXPECT_EQ(Log, (std::vector<std::string>{"CTS+", "DSR+", "CTS-", "DSR-", "RLSD+", "Ring"}));
}

// The tty layer raises DTR and RTS while it opens a port whose kept rate is not 0, before the port
// can say anything; some devices reset on that. The lines meant to stay low come down with the
// first call on the device and are not raised again.
TEST_F(UartDriverTest, LinesMeantToStayLowComeDownAsSoonAsThePortIsKnownFree) {
  const struct {
    const char* Name;
    TDTRFlowControl Dtr;
    TRTSFlowControl Rts;
    int Low;
  } Cases[] = {
      {"both disabled", dtrDisable, rtsDisable, TIOCM_DTR | TIOCM_RTS},
      {"DTR enabled", dtrEnable, rtsDisable, TIOCM_RTS},
      {"RTS enabled", dtrDisable, rtsEnable, TIOCM_DTR},
      {"RTS toggle", dtrDisable, rtsToggle, TIOCM_DTR | TIOCM_RTS},
      {"RTS by handshake: the driver's", dtrHandshake, rtsHandshake, 0},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Port.FlowControl().SetControlDTR(C.Dtr);
    Port.FlowControl().SetControlRTS(C.Rts);
    const int Rises[2] = {Uart.Rises(TIOCM_DTR), Uart.Rises(TIOCM_RTS)};
    Port.Open();
    Port.SetBaudRate(br19200);
    Port.SetDataBits(dbSeven);
    int N = 0;
    for (int Line : {TIOCM_DTR, TIOCM_RTS}) {
      const bool Low = (C.Low & Line) != 0;
      EXPECT_EQ(Uart.Rises(Line) - Rises[N++], 1) << Line << ": the open's rise alone";
      EXPECT_EQ((Uart.OutputLines() & Line) == 0, Low) << Line;
      if (Low) {
        EXPECT_EQ(Uart.CallsWhileUp(Line), 2) << Line << ": only the look at its exclusive mode and the call that lowers it";
      }
    }
    Port.Close();
    Port.SetBaudRate(br9600);
    Port.SetDataBits(dbEight);
  }
}

}  // namespace
