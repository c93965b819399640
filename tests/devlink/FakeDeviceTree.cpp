#include "FakeDeviceTree.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

TFakeDeviceTree::TFakeDeviceTree() {
  std::string pattern = (fs::temp_directory_path() / "varo-devices-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  Root_ = pattern;
  fs::create_directories(Root_ + "/sys/class/tty");
  fs::create_directories(Root_ + "/dev");
}

TFakeDeviceTree::~TFakeDeviceTree() {
  std::error_code ignored;
  fs::remove_all(Root_, ignored);
}

void TFakeDeviceTree::AddPort(const std::string& name, int uartType, const std::string& device) {
  const std::string entry = Root_ + "/sys/class/tty/" + name;
  fs::create_directories(entry + "/device");
  if (uartType >= 0 && name.rfind("ttyS", 0) == 0) std::ofstream(entry + "/type") << uartType << "\n";
  if (!device.empty()) fs::create_symlink(device, DevicePath(name));
}

void TFakeDeviceTree::AddVirtual(const std::string& name) { fs::create_directories(Root_ + "/sys/class/tty/" + name); }
