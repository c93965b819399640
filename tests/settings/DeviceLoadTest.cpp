// Loading settings into an open port over a pseudo-terminal: each value reaches the device as
// it is assigned.
#include <gtest/gtest.h>
#include <termios.h>

#include <string>
#include <vector>

#include "CPort.h"
#include "ComStore.h"
#include "Pty.h"
#include "SettingsTestSupport.h"

namespace {

using Log = std::vector<std::string>;

// Logs the device's line settings after every ApplyLineSettings, and the open/close events.
class TWatchedPort : public TComPort {
 public:
  Log Seen;
  TWatchedPort() {
    SetName("ComPort1");
    SetEvents({});
    OnBeforeOpen = [this](TObject*) { Seen.push_back("BeforeOpen"); };
    OnAfterOpen = [this](TObject*) { Seen.push_back("AfterOpen"); };
    OnBeforeClose = [this](TObject*) { Seen.push_back("BeforeClose"); };
    OnAfterClose = [this](TObject*) { Seen.push_back("AfterClose"); };
  }
  ~TWatchedPort() override { Close(); }  // while Seen still exists
  void ApplyLineSettings() override {
    TComPort::ApplyLineSettings();
    termios T{};
    if (Handle() < 0 || tcgetattr(Handle(), &T) != 0) return;
    Seen.push_back("rate=" + std::to_string(DeviceBitRate(Handle())) + " ixon=" + std::to_string(!!(T.c_iflag & IXON)) +
                   " ixoff=" + std::to_string(!!(T.c_iflag & IXOFF)) + " start=" + std::to_string(T.c_cc[VSTART]) +
                   " stop=" + std::to_string(T.c_cc[VSTOP]));
  }
};

TEST(DeviceLoadTest, EachValueReachesTheOpenDeviceAsItIsAssigned) {
  TPty Pty;
  TTempDir Dir;
  WriteFile(Dir / "port.ini", "[ComPort1]\nPort=" + Pty.Path() +
                                   "\nBaudRate=Custom\nCustomBaudRate=31250\nFlowControl=Software\n"
                                   "FlowControl.XonXoffIn=No\nFlowControl.XoffChar=#20\nFlowControl.XonChar=#18\n");
  TIniFile Ini(Dir / "port.ini");
  TWatchedPort P;
  P.SetStoredGroups({sgLine, sgFlowDetails});
  P.SetCustomBaudRate(4800);
  P.SetPort(Pty.Path());
  P.Open();
  P.Seen.clear();
  P.LoadFromIniSection(Ini);
  EXPECT_EQ(P.Seen, (Log{"rate=4800 ixon=0 ixoff=0 start=17 stop=19", "rate=31250 ixon=0 ixoff=0 start=17 stop=19",
                         "rate=31250 ixon=1 ixoff=1 start=17 stop=19", "rate=31250 ixon=1 ixoff=0 start=17 stop=19",
                         "rate=31250 ixon=1 ixoff=0 start=17 stop=20", "rate=31250 ixon=1 ixoff=0 start=18 stop=20"}));
  EXPECT_TRUE(P.Connected());
}

TEST(DeviceLoadTest, AnotherPortNameReopensTheOpenPortBeforeTheOtherValues) {
  TPty First, Second;
  TTempDir Dir;
  WriteFile(Dir / "port.ini", "[ComPort1]\nPort=" + Second.Path() + "\nBaudRate=19200\n");
  TIniFile Ini(Dir / "port.ini");
  TWatchedPort P;
  P.SetPort(First.Path());
  P.Open();
  P.Seen.clear();
  P.LoadFromIniSection(Ini);
  EXPECT_EQ(P.Seen, (Log{"BeforeClose", "AfterClose", "BeforeOpen", "rate=9600 ixon=0 ixoff=0 start=17 stop=19",
                         "AfterOpen", "rate=19200 ixon=0 ixoff=0 start=17 stop=19",
                         // the preset, read as the present "None", is applied once more
                         "rate=19200 ixon=0 ixoff=0 start=17 stop=19"}));
  ASSERT_EQ(P.WriteString("x"), 1);
  EXPECT_EQ(Second.Receive(1), "x");
}

TEST(DeviceLoadTest, RegistryKeyWithoutPortClosesTheOpenPortAndFailsToReopen) {
  TPty Pty;
  TTempDir Dir;
  WriteFile(Dir / "key.reg", "\"BaudRate\"=\"19200\"\n");
  TRegistryFile Reg(Dir / "key.reg");
  TWatchedPort P;
  P.SetPort(Pty.Path());
  P.Open();
  const auto E = ErrorOf<EComPort>([&] { P.LoadFromRegistryKey(Reg); });
  ASSERT_TRUE(E);
  EXPECT_EQ(E->ComErrorCode(), 1);
  EXPECT_EQ(E->SystemErrorCode(), 2);
  EXPECT_FALSE(P.Connected());
  EXPECT_EQ(P.Port(), "");
  EXPECT_EQ(P.BaudRate(), br9600);  // the load ended at "Port"
}

TEST(DeviceLoadTest, AValueTheDeviceRefusesEndsTheLoadThere) {
  TPty Pty;
  TTempDir Dir;
  WriteFile(Dir / "port.ini", "[ComPort1]\nBaudRate=Custom\nCustomBaudRate=0\nStopBits=2\n");
  TIniFile Ini(Dir / "port.ini");
  TWatchedPort P;
  P.SetPort(Pty.Path());
  P.Open();
  const auto E = ErrorOf<EComPort>([&] { P.LoadFromIniSection(Ini); });
  ASSERT_TRUE(E);
  EXPECT_EQ(E->ComErrorCode(), 7);
  EXPECT_TRUE(P.Connected());
  EXPECT_EQ(P.CustomBaudRate(), 0);  // stored although refused
  EXPECT_EQ(P.StopBits(), sbOneStopBit);
}

}  // namespace
