#pragma once
// A throw-away tree in the shape discovery reads: <root>/sys/class/tty/<name>
// and <root>/dev/<name>, so no test touches the machine's own serial ports.
#include <filesystem>
#include <string>

class TFakeDeviceTree {
 public:
  TFakeDeviceTree();
  ~TFakeDeviceTree();
  TFakeDeviceTree(const TFakeDeviceTree&) = delete;
  TFakeDeviceTree& operator=(const TFakeDeviceTree&) = delete;

  const std::string& Root() const { return Root_; }
  // A tty entry with hardware behind it; uartType is written for ttyS names
  // (-1 writes no type file). The device node links to `device` when given.
  void AddPort(const std::string& name, int uartType = 4, const std::string& device = "");
  // A tty entry without hardware (tty0, console, ...).
  void AddVirtual(const std::string& name);
  std::string DevicePath(const std::string& name) const { return Root_ + "/dev/" + name; }

 private:
  std::string Root_;
};
