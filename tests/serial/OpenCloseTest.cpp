#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "CPort.h"
#include "Pty.h"

namespace {

using Log = std::vector<std::string>;

// Records the port's open/close events and a link's notifications in one log.
void Record(TComPort& P, TComLink& L, Log& Out) {
  auto Flag = [&Out](const char* Name) {
    return [&Out, Name](TObject*, bool On) { Out.push_back(std::string(Name) + (On ? "+" : "-")); };
  };
  P.OnBeforeOpen = [&Out](TObject*) { Out.push_back("BeforeOpen"); };
  P.OnAfterOpen = [&Out](TObject*) { Out.push_back("AfterOpen"); };
  P.OnBeforeClose = [&Out](TObject*) { Out.push_back("BeforeClose"); };
  P.OnAfterClose = [&Out](TObject*) { Out.push_back("AfterClose"); };
  P.OnCTSChange = Flag("CTS");
  P.OnDSRChange = Flag("DSR");
  P.OnRLSDChange = Flag("RLSD");
  L.OnPortStateChange = Flag("link.State");
  L.OnCTSChange = Flag("link.CTS");
  L.OnDSRChange = Flag("link.DSR");
  L.OnRLSDChange = Flag("link.RLSD");
  P.AttachLink(&L);
}

const Log OpenLog = {"BeforeOpen", "link.State+", "AfterOpen", "link.CTS-", "CTS-",
                     "link.DSR-",  "DSR-",        "link.RLSD-", "RLSD-"};
const Log CloseLog = {"link.CTS-", "link.DSR-", "link.RLSD-", "CTS-",
                      "DSR-",      "RLSD-",     "BeforeClose", "link.State-", "AfterClose"};

Log Joined(std::initializer_list<Log> Parts) {
  Log All;
  for (const Log& L : Parts) All.insert(All.end(), L.begin(), L.end());
  return All;
}

TEST(OpenCloseTest, OpenAndCloseRaiseTheirNotificationsInOrderAndOnlyOnce) {
  TPty Pty;
  Log Events;
  TComLink L;  // the port notifies its links until it is gone
  TComPort P;
  Record(P, L, Events);
  OpenWithoutEvents(P, Pty);
  EXPECT_TRUE(P.Connected());
  EXPECT_GE(P.Handle(), 0);
  P.Open();
  EXPECT_EQ(Events, OpenLog);
  Events.clear();
  P.Close();
  P.Close();
  EXPECT_FALSE(P.Connected());
  EXPECT_EQ(P.Handle(), -1);
  EXPECT_EQ(Events, CloseLog);

  Events.clear();
  P.SetConnected(true);
  P.SetConnected(true);
  P.SetConnected(false);
  EXPECT_EQ(Events, Joined({OpenLog, CloseLog}));
}

TEST(OpenCloseTest, ChangingPortWhileOpenReopensUnderTheNewName) {
  TPty First, Second;
  Log Events;
  TComLink L;  // the port notifies its links until it is gone
  TComPort P;
  OpenWithoutEvents(P, First);
  Record(P, L, Events);
  P.SetPort(First.Path());
  EXPECT_TRUE(Events.empty());
  P.SetPort(Second.Path());
  EXPECT_EQ(Events, Joined({CloseLog, OpenLog}));
  EXPECT_TRUE(P.Connected());
  P.WriteString("2");
  EXPECT_EQ(Second.Receive(1), "2");
  EXPECT_EQ(First.Receive(1, 20), "");
}

TEST(OpenCloseTest, AMissingDeviceGivesCodeOneWithTheSystemCode) {
  Log Events;
  TComPort P;
  P.OnBeforeOpen = [&](TObject*) { Events.push_back("BeforeOpen"); };
  P.OnAfterOpen = [&](TObject*) { Events.push_back("AfterOpen"); };
  P.SetPort("/dev/varo-no-such-port");
  try {
    P.Open();
    FAIL() << "opened a missing device";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 1);
    EXPECT_EQ(E.SystemErrorCode(), 2);
    EXPECT_STREQ(E.what(), "Unable to open com port (win error code: 2)");
  }
  EXPECT_FALSE(P.Connected());
  EXPECT_EQ(Events, Log{"BeforeOpen"});
}

TEST(OpenCloseTest, APortHeldElsewhereIsBusy) {
  TPty Pty;
  TComPort Holder, Other;
  Holder.SetEvents({});
  Other.SetEvents({});
  Holder.SetPort(Pty.Path());
  Other.SetPort(Pty.Path());
  Holder.Open();
  try {
    Other.Open();
    FAIL() << "opened a busy port";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 1);
    // flock refuses (EWOULDBLOCK); without root, TIOCEXCL refuses the open itself (EBUSY).
    EXPECT_TRUE(E.SystemErrorCode() == EWOULDBLOCK || E.SystemErrorCode() == EBUSY) << E.SystemErrorCode();
  }
  EXPECT_FALSE(Other.Connected());
  Holder.Close();
  Other.Open();
  EXPECT_TRUE(Other.Connected());

  // Another program's lock counts too.
  Other.Close();
  const int Fd = ::open(Pty.Path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(Fd, 0);
  ASSERT_EQ(::flock(Fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_THROW(Other.Open(), EComPort);
  ::close(Fd);
  Other.Open();

  // So does its exclusive mode without a lock, even for root, and it stays set.
  Other.Close();
  const int ExclFd = ::open(Pty.Path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(ExclFd, 0);
  ASSERT_EQ(::ioctl(ExclFd, TIOCEXCL), 0);
  try {
    Other.Open();
    FAIL() << "opened a port held in exclusive mode";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.SystemErrorCode(), EBUSY);
  }
  EXPECT_EQ(ProbeComDevice(Pty.Path()), EBUSY);
  int Exclusive = 0;
  ASSERT_EQ(::ioctl(ExclFd, TIOCGEXCL, &Exclusive), 0);
  EXPECT_NE(Exclusive, 0);
  ASSERT_EQ(::ioctl(ExclFd, TIOCNXCL), 0);
  ::close(ExclFd);
  Other.Open();
}

TEST(OpenCloseTest, SyncMethodIsRefusedWhileOpen) {
  TPty Pty;
  TComPort P;
  OpenWithoutEvents(P, Pty);
  try {
    P.SetSyncMethod(smWindowSync);
    FAIL() << "changed while open";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 14);
    EXPECT_EQ(E.SystemErrorCode(), -1);
    EXPECT_STREQ(E.what(), "Cannot set property while connected");
  }
  EXPECT_EQ(P.SyncMethod(), smThreadSync);
  P.SetSyncMethod(smThreadSync);  // unchanged value: no error
}

TEST(OpenCloseTest, SettingsMadeWhileClosedAreAppliedByOpenAndChangesWhileOpenAtOnce) {
  TPty Pty;
  TComPort P;
  P.SetEvents({});
  P.SetPort(Pty.Path());
  P.SetBaudRate(br19200);
  P.SetDataBits(dbSeven);
  P.SetStopBits(sbTwoStopBits);
  P.Parity().SetBits(prOdd);
  P.FlowControl().SetFlowControl(fcSoftware);
  P.FlowControl().SetXonChar('Q');
  P.Timeouts().SetReadTotalConstant(25);
  EXPECT_EQ(P.DeviceTimeouts().ReadTotalTimeoutConstant, 0u);
  P.Open();

  termios T{};
  ASSERT_EQ(tcgetattr(P.Handle(), &T), 0);
  EXPECT_EQ(cfgetospeed(&T), B19200);
  // A pty keeps CS8 without PARENB whatever it is told; the other bits stay as set.
  EXPECT_TRUE(T.c_cflag & CSTOPB);
  EXPECT_TRUE(T.c_cflag & PARODD);
  EXPECT_FALSE(T.c_cflag & CMSPAR);
  EXPECT_FALSE(T.c_cflag & CRTSCTS);
  EXPECT_TRUE(T.c_cflag & CLOCAL);
  EXPECT_TRUE(T.c_iflag & IXON);
  EXPECT_TRUE(T.c_iflag & IXOFF);
  EXPECT_EQ(T.c_cc[VSTART], 'Q');
  EXPECT_EQ(T.c_cc[VSTOP], 19);
  EXPECT_EQ(T.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(T.c_oflag & OPOST, 0u);
  EXPECT_EQ(T.c_cc[VMIN], 1);
  EXPECT_EQ(P.DeviceTimeouts().ReadTotalTimeoutConstant, 25u);
  // -1 reaches the device as all bits set.
  EXPECT_EQ(P.DeviceTimeouts().ReadIntervalTimeout, 0xFFFFFFFFu);
  EXPECT_EQ(P.DeviceTimeouts().WriteTotalTimeoutMultiplier, 100u);

  P.SetBaudRate(br115200);
  P.Parity().SetBits(prMark);
  P.SetDataBits(dbEight);
  P.SetStopBits(sbOneStopBit);
  P.FlowControl().SetFlowControl(fcHardware);
  P.Timeouts().SetWriteTotalConstant(-1);
  ASSERT_EQ(tcgetattr(P.Handle(), &T), 0);
  EXPECT_EQ(cfgetospeed(&T), B115200);
  EXPECT_FALSE(T.c_cflag & CSTOPB);
  EXPECT_TRUE(T.c_cflag & CMSPAR);
  EXPECT_TRUE(T.c_cflag & PARODD);
  EXPECT_TRUE(T.c_cflag & CRTSCTS);
  EXPECT_FALSE(T.c_iflag & (IXON | IXOFF));
  EXPECT_EQ(P.DeviceTimeouts().WriteTotalTimeoutConstant, 0xFFFFFFFFu);

  P.Parity().SetBits(prSpace);
  ASSERT_EQ(tcgetattr(P.Handle(), &T), 0);
  EXPECT_TRUE(T.c_cflag & CMSPAR);
  EXPECT_FALSE(T.c_cflag & PARODD);
}

TEST(OpenCloseTest, EveryRateReachesTheDeviceIncludingCustomOnes) {
  TPty Pty;
  TComPort P;
  OpenWithoutEvents(P, Pty);
  for (int R = br110; R <= br256000; ++R) {
    P.SetBaudRate(static_cast<TBaudRate>(R));
    EXPECT_EQ(DeviceBitRate(P.Handle()), static_cast<unsigned>(BaudRateValue(static_cast<TBaudRate>(R)))) << R;
  }
  P.SetBaudRate(brCustom);
  P.SetCustomBaudRate(31250);
  EXPECT_EQ(DeviceBitRate(P.Handle()), 31250u);
}

TEST(OpenCloseTest, RefusedSettingsRaiseTheirCodes) {
  TPty Pty;
  TComPort P;
  OpenWithoutEvents(P, Pty);
  // While open: raised, the value stays stored and the port open.
  try {
    P.SetBaudRate(brCustom);
    P.SetCustomBaudRate(-5);
    FAIL() << "negative rate accepted";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 7);
    EXPECT_EQ(E.SystemErrorCode(), EINVAL);
  }
  EXPECT_EQ(P.CustomBaudRate(), -5);
  EXPECT_TRUE(P.Connected());
  EXPECT_THROW(P.SetCustomBaudRate(0), EComPort);
  P.SetCustomBaudRate(1200);
  EXPECT_EQ(DeviceBitRate(P.Handle()), 1200u);

  try {
    P.Buffer().SetOutputSize(-2);
    FAIL() << "negative size accepted";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 9);
  }
  EXPECT_TRUE(P.Connected());
  P.Close();

  // During open: the device is let go again and the port stays closed.
  Log Events;
  P.OnAfterOpen = [&](TObject*) { Events.push_back("AfterOpen"); };
  try {
    P.Open();
    FAIL() << "opened with a refused buffer size";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 9);
  }
  EXPECT_FALSE(P.Connected());
  EXPECT_EQ(P.Handle(), -1);
  EXPECT_TRUE(Events.empty());
  P.Buffer().SetOutputSize(1024);
  P.Open();  // the device was let go: it opens again
  EXPECT_EQ(Events, Log{"AfterOpen"});

  // Not a serial device at all: the line settings are refused.
  TComPort NotTty;
  NotTty.SetEvents({});
  NotTty.SetPort("/dev/null");
  try {
    NotTty.Open();
    FAIL() << "configured /dev/null";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 7);
    EXPECT_EQ(E.SystemErrorCode(), ENOTTY);
  }
  EXPECT_FALSE(NotTty.Connected());
}

// Stored like any setting, refused where the line settings are applied: by Open on a closed port
// (which stays closed), at once on an open one (which stays open with the value stored).
TEST(OpenCloseTest, OutOfRangeValuesAndStopBitsThatDoNotFitTheSizeAreRefusedWithSeven) {
  const struct {
    const char* Name;
    std::function<void(TComPort&)> Set;
  } Cases[] = {
      {"data bits 4", [](TComPort& P) { P.SetDataBits(static_cast<TDataBits>(4)); }},
      {"parity 5", [](TComPort& P) { P.Parity().SetBits(static_cast<TParityBits>(5)); }},
      {"DTR 3", [](TComPort& P) { P.FlowControl().SetControlDTR(static_cast<TDTRFlowControl>(3)); }},
      {"1.5 stop bits, 8 data bits", [](TComPort& P) { P.SetStopBits(sbOne5StopBits); }},
      {"2 stop bits, 5 data bits",
       [](TComPort& P) {
         P.SetDataBits(dbFive);
         P.SetStopBits(sbTwoStopBits);
       }},
  };
  TPty Pty;
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TComPort Closed;
    Closed.SetEvents({});
    Closed.SetPort(Pty.Path());
    C.Set(Closed);
    int32_t Sys = 0;
    EXPECT_EQ(CodeOf([&] { Closed.Open(); }, &Sys), 7);
    EXPECT_EQ(Sys, EINVAL);
    EXPECT_FALSE(Closed.Connected());
    EXPECT_EQ(Closed.Handle(), -1);

    TComPort Open;
    OpenWithoutEvents(Open, Pty);
    EXPECT_EQ(CodeOf([&] { C.Set(Open); }, &Sys), 7);
    EXPECT_EQ(Sys, EINVAL);
    EXPECT_TRUE(Open.Connected());
  }

  // 1.5 stop bits after 5 data bits is a line a UART can send.
  TComPort P;
  OpenWithoutEvents(P, Pty);
  P.SetDataBits(dbFive);
  P.SetStopBits(sbOne5StopBits);
  EXPECT_EQ(P.StopBits(), sbOne5StopBits);

  // The flow-control preset is not stored: an unknown one is refused before it changes anything.
  P.FlowControl().SetFlowControl(fcHardware);
  EXPECT_EQ(CodeOf([&] { P.FlowControl().SetFlowControl(static_cast<TFlowControl>(4)); }), 7);
  EXPECT_EQ(P.FlowControl().FlowControl(), fcHardware);
  P.Close();
  EXPECT_EQ(CodeOf([&] { P.FlowControl().SetFlowControl(static_cast<TFlowControl>(4)); }), 7);
}

TEST(OpenCloseTest, DevicesWithoutModemLinesReadAllLinesOffAndNoErrors) {
  TPty Pty;
  TComPort P;
  P.SetEvents({});
  P.SetPort(Pty.Path());
  P.Parity().SetCheck(true);
  P.FlowControl().SetControlDTR(dtrEnable);
  P.FlowControl().SetControlRTS(rtsEnable);
  P.Open();
  EXPECT_TRUE(P.ModemSignals().Empty());
  EXPECT_TRUE(P.LineErrors().Empty());
  EXPECT_EQ(P.InputQueueCount(), 0);
  P.Close();
  // Closed: the queries fail with their codes.
  try {
    P.InputQueueCount();
    FAIL();
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 10);
    EXPECT_EQ(E.SystemErrorCode(), EBADF);
  }
  EXPECT_THROW(P.LineErrors(), EComPort);
  try {
    P.ModemSignals();
    FAIL();
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 11);
  }
}

TEST(OpenCloseTest, LinksAttachOnceAndDetachOnce) {
  TComLink A, B;
  TComPort P;
  EXPECT_FALSE(P.HasRxBufLink());
  B.OnRxBuf = [](TObject*, const void*, int32_t) {};
  P.AttachLink(&A);
  EXPECT_FALSE(P.HasRxBufLink());
  P.AttachLink(&B);
  EXPECT_TRUE(P.HasRxBufLink());
  try {
    P.AttachLink(&A);
    FAIL();
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), 18);
    EXPECT_EQ(E.SystemErrorCode(), -1);
  }
  P.DetachLink(&B);
  EXPECT_FALSE(P.HasRxBufLink());
  EXPECT_THROW(P.DetachLink(&B), EComPort);
  P.DetachLink(&A);
  // Attached once only: a second detach fails.
  EXPECT_THROW(P.DetachLink(&A), EComPort);
  EXPECT_THROW(P.AttachLink(nullptr), EComPort);
}

TEST(OpenCloseTest, DestroyingAnOpenPortClosesIt) {
  TPty Pty;
  Log Events;
  {
    TComPort P;
    OpenWithoutEvents(P, Pty);
    P.OnAfterClose = [&](TObject*) { Events.push_back("AfterClose"); };
  }
  EXPECT_EQ(Events, Log{"AfterClose"});
  TComPort Again;
  OpenWithoutEvents(Again, Pty);
  EXPECT_TRUE(Again.Connected());
}

}  // namespace
