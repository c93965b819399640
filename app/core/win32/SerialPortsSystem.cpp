// The serial ports of a Windows machine: COM1 to COM15, whichever can be opened now.
#include <windows.h>

#include "core/SerialPorts.h"

namespace varo {

std::string DefaultDeviceRoot() { return ""; }

std::string ShownDevicePath(const std::string&, const std::string& path) { return path; }

std::vector<std::string> SerialDevices(const std::string&) {
  std::vector<std::string> names;
  for (int n = 1; n <= MaxListedPorts; ++n) names.push_back("COM" + std::to_string(n));
  return names;
}

// Windows guards a port by who holds it, not by groups.
std::string DeviceGroup(const std::string&) { return ""; }

bool PermissionRefused(int) { return false; }

bool LineHungUp(intptr_t handle) {
  if (handle == -1) return false;
  DWORD errors = 0;
  COMSTAT status{};
  // The driver of a pulled USB adapter answers no more.
  return !ClearCommError(reinterpret_cast<HANDLE>(handle), &errors, &status);
}

}  // namespace varo
