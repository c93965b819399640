#pragma once
// The serial ports of this machine as the port list offers them: discovery
// (sysfs on Linux, COM1 to COM15 on Windows), the exclusive probe, and a line that has hung up.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace varo {

constexpr int MaxListedPorts = 15;

// Discovery on Linux reads <root>/sys/class/tty and names devices <root>/dev/<name>.
// "/" unless VARO_DEVICE_ROOT names another tree (tests and demos give a fake one); Windows has none.
std::string DefaultDeviceRoot();

// Serial devices with hardware behind them, in natural order: entries with a
// "device" link, ttyS ones only when the UART type is known.
// A device path as the technician knows it: where the tree is a stand-in for the machine's own
// (tests, the screenshots' made-up machine), the path inside it, e.g. /dev/ttyUSB0.
std::string ShownDevicePath(const std::string& root, const std::string& path);
std::vector<std::string> SerialDevices(const std::string& root);

// "ttyS2" < "ttyS10": runs of digits compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b);

// Opens the device for reading and writing and takes the exclusive lock a port
// holds while open, then lets go at once: 0 when that worked, else the errno.
// DTR and RTS, which the open raises, come down as soon as the lock is taken, as
// for the tool's port (dtrDisable, rtsDisable): a device that resets on DTR sees
// no more than the open's own pulse when the list is filled.
int ProbePort(const std::string& path);

using PortProbe = std::function<int(const std::string& path)>;

struct PortScan {
  std::vector<std::string> Free;     // at most MaxListedPorts, in the given order
  std::vector<std::string> Refused;  // there, but we lack the permission to open them
};
PortScan ScanPorts(const std::vector<std::string>& devices, const PortProbe& probe);

// The group that owns the device file ("dialout" when it cannot be told).
std::string DeviceGroup(const std::string& path);

// Whether a probe's error code says we may not open the device (rather than that it is busy or gone).
bool PermissionRefused(int error);

// True once the other end of the line has gone (cable or adapter pulled,
// simulator closed): such a port handle never carries data again.
bool LineHungUp(intptr_t handle);

}  // namespace varo
