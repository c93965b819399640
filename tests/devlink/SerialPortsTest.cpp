// Port discovery on a fake sysfs tree, the exclusive probe, and hang-up.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cerrno>
#include <map>

#include "CPort.h"
#include "FakeDeviceTree.h"
#include "FakeUart.h"
#include "Indicator.h"
#include "core/SerialPorts.h"

using varo::NaturalLess;

TEST(NaturalOrder, DigitRunsCompareAsNumbers) {
  struct Case {
    const char* A;
    const char* B;
    bool Less;
  };
  const Case cases[] = {
      {"ttyS2", "ttyS10", true},   {"ttyS10", "ttyS2", false}, {"ttyS1", "ttyS1", false},
      {"ttyACM0", "ttyS0", true},  {"ttyS0", "ttyUSB0", true}, {"ttyUSB01", "ttyUSB2", true},
      {"ttyUSB02", "ttyUSB2", false}, {"ttyS", "ttyS0", true},  {"rfcomm9", "rfcomm10", true},
      {"ttyS1a", "ttyS1b", true},
  };
  for (const Case& c : cases) EXPECT_EQ(NaturalLess(c.A, c.B), c.Less) << c.A << " < " << c.B;
}

TEST(SerialDevices, ListsHardwarePortsInNaturalOrder) {
  TFakeDeviceTree tree;
  tree.AddPort("ttyUSB0");
  tree.AddPort("ttyS10");
  tree.AddPort("ttyS2");
  tree.AddPort("ttyS0");
  tree.AddPort("ttyS1", 0);   // a ttyS slot without a UART
  tree.AddPort("ttyS3", -1);  // no type to tell: not listed either
  tree.AddPort("ttyACM0");
  tree.AddPort("rfcomm0");
  tree.AddVirtual("tty0");
  tree.AddVirtual("console");
  tree.AddVirtual("ptmx");
  const std::vector<std::string> expected = {tree.DevicePath("rfcomm0"), tree.DevicePath("ttyACM0"),
                                             tree.DevicePath("ttyS0"),   tree.DevicePath("ttyS2"),
                                             tree.DevicePath("ttyS10"),  tree.DevicePath("ttyUSB0")};
  EXPECT_EQ(varo::SerialDevices(tree.Root()), expected);
}

TEST(SerialDevices, MissingTreeListsNothing) {
  EXPECT_TRUE(varo::SerialDevices("/nonexistent/varo-root").empty());
}

TEST(SerialDevices, RootDefaultsToTheMachineUnlessTheEnvironmentNamesOne) {
  const char* saved = std::getenv("VARO_DEVICE_ROOT");
  const std::string keep = saved ? saved : "";
  ::setenv("VARO_DEVICE_ROOT", "/some/tree", 1);
  EXPECT_EQ(varo::DefaultDeviceRoot(), "/some/tree");
  ::unsetenv("VARO_DEVICE_ROOT");
  EXPECT_EQ(varo::DefaultDeviceRoot(), "/");
  if (saved) ::setenv("VARO_DEVICE_ROOT", keep.c_str(), 1);
}

// A tree standing in for the machine's own names its devices as the machine would.
TEST(SerialDevices, PathsAreShownAsTheMachineNamesThem) {
  const struct {
    const char* Root;
    const char* Path;
    const char* Shown;
  } cases[] = {{"/", "/dev/ttyUSB0", "/dev/ttyUSB0"},
               {"/tmp/varo.x1", "/tmp/varo.x1/dev/ttyUSB0", "/dev/ttyUSB0"},
               {"/tmp/varo.x1/", "/tmp/varo.x1/dev/ttyACM3", "/dev/ttyACM3"},
               {"/tmp/varo.x1", "/tmp/other/dev/ttyUSB0", "/tmp/other/dev/ttyUSB0"},
               {"/tmp/varo.x1", "/tmp/varo.x10/dev/ttyUSB0", "/tmp/varo.x10/dev/ttyUSB0"}};
  for (const auto& c : cases) EXPECT_EQ(varo::ShownDevicePath(c.Root, c.Path), c.Shown) << c.Root << " " << c.Path;
}

TEST(ScanPorts, KeepsFreePortsInOrderAtMostFifteenAndNamesRefusedOnes) {
  std::vector<std::string> devices;
  std::map<std::string, int> result;
  for (int i = 0; i < 22; ++i) {
    const std::string d = "/dev/ttyUSB" + std::to_string(i);
    devices.push_back(d);
    result[d] = 0;
  }
  result["/dev/ttyUSB1"] = EBUSY;    // held by another program
  result["/dev/ttyUSB2"] = EACCES;   // not in the group
  result["/dev/ttyUSB3"] = ENOENT;   // gone meanwhile
  result["/dev/ttyUSB4"] = EPERM;
  result["/dev/ttyUSB5"] = EWOULDBLOCK;  // locked by a port object
  std::vector<std::string> probed;
  const varo::PortScan scan = varo::ScanPorts(devices, [&](const std::string& d) {
    probed.push_back(d);
    return result[d];
  });
  ASSERT_EQ(scan.Free.size(), 15u);
  EXPECT_EQ(scan.Free.front(), "/dev/ttyUSB0");
  EXPECT_EQ(scan.Free[1], "/dev/ttyUSB6");
  EXPECT_EQ(scan.Free.back(), "/dev/ttyUSB19");
  EXPECT_EQ(scan.Refused, (std::vector<std::string>{"/dev/ttyUSB2", "/dev/ttyUSB4"}));
  EXPECT_EQ(probed.size(), 20u) << "no probing once the list is full";
}

TEST(ProbePort, FreeHeldAndMissingPorts) {
  sim::Indicator indicator;
  EXPECT_EQ(varo::ProbePort(indicator.Path()), 0);
  EXPECT_EQ(varo::ProbePort(indicator.Path()), 0) << "the probe lets go of the port";

  TComPort port;
  port.SetEvents({});
  port.SetPort(indicator.Path());
  port.Open();
  EXPECT_EQ(varo::ProbePort(indicator.Path()), EBUSY) << "a port this process holds is not free, even for root";
  port.Close();
  EXPECT_EQ(varo::ProbePort(indicator.Path()), 0);

  EXPECT_EQ(varo::ProbePort("/nonexistent/ttyUSB0"), ENOENT);
}

// The tty layer raises DTR and RTS while it opens a port, so filling the port list pulses them on
// every serial device attached. The probe brings them down in its first call after the lock, as
// the tool's port does, and leaves them down where the driver would keep them up after the close
// (stty -hupcl).
TEST(ProbePort, BringsTheModemLinesTheOpenRaisedDownAtOnce) {
  sim::Indicator indicator;
  TFakeUart uart(indicator.Path());
  for (const bool hangUpOnClose : {true, false}) {
    SCOPED_TRACE(hangUpOnClose ? "HUPCL" : "no HUPCL");
    uart.SetHangUpOnClose(hangUpOnClose);
    const int rises[2] = {uart.Rises(TIOCM_DTR), uart.Rises(TIOCM_RTS)};
    EXPECT_EQ(varo::ProbePort(indicator.Path()), 0);
    int n = 0;
    for (const int line : {TIOCM_DTR, TIOCM_RTS}) {
      EXPECT_EQ(uart.Rises(line) - rises[n++], 1) << line << ": the open's rise alone";
      EXPECT_EQ(uart.CallsWhileUp(line), 2) << line << ": only the look at its exclusive mode and the call that brings it down";
    }
    EXPECT_EQ(uart.OutputLines(), 0);
  }
}

TEST(DeviceGroup, NamesTheGroupOwningTheFile) {
  TFakeDeviceTree tree;
  sim::Indicator indicator;
  tree.AddPort("ttyUSB0", 4, indicator.DevicePath());
  struct stat st {};
  ASSERT_EQ(::stat(indicator.DevicePath().c_str(), &st), 0);
  EXPECT_EQ(varo::DeviceGroup(tree.DevicePath("ttyUSB0")), ::getgrgid(st.st_gid)->gr_name);
  EXPECT_EQ(varo::DeviceGroup("/nonexistent/ttyUSB0"), "dialout");
}

TEST(LineHungUp, OnlyOnceTheOtherEndHasGone) {
  sim::Indicator indicator;
  TComPort port;
  port.SetEvents({});
  port.SetPort(indicator.Path());
  port.Open();
  EXPECT_FALSE(varo::LineHungUp(port.Handle()));
  indicator.HangUp();
  ASSERT_TRUE(indicator.WaitUntil([&] { return indicator.HungUp(); }, std::chrono::seconds(5)));
  EXPECT_TRUE(varo::LineHungUp(port.Handle()));
  EXPECT_FALSE(varo::LineHungUp(-1));
  port.Close();
}
