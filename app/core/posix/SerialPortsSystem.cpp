// The serial ports of a Linux machine: sysfs names them, the device files' groups guard them.
#include <dirent.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "core/SerialPorts.h"

namespace varo {

namespace {

std::string Join(const std::string& root, const std::string& path) {
  if (root.empty() || root == "/") return path;
  return root.back() == '/' ? root + path.substr(1) : root + path;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The serial core's port type; 0 (unknown) for a ttyS slot without a UART.
int UartType(const std::string& entry) {
  std::ifstream in(entry + "/type");
  int type = 0;
  return in >> type ? type : 0;
}

}  // namespace

std::string DefaultDeviceRoot() {
  const char* root = std::getenv("VARO_DEVICE_ROOT");
  return root && *root ? root : "/";
}

std::string ShownDevicePath(const std::string& root, const std::string& path) {
  if (root.empty() || root == "/") return path;
  const std::string inside = Join(root, "/");
  if (path.compare(0, inside.size(), inside) != 0) return path;
  return path.substr(inside.size() - 1);
}

std::vector<std::string> SerialDevices(const std::string& root) {
  const std::string classDir = Join(root, "/sys/class/tty");
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(classDir.c_str())) {
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      const std::string entry = classDir + "/" + name;
      if (!Exists(entry + "/device")) continue;
      if (name.rfind("ttyS", 0) == 0 && UartType(entry) == 0) continue;
      names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  std::vector<std::string> paths;
  for (const std::string& n : names) paths.push_back(Join(root, "/dev/" + n));
  return paths;
}

std::string DeviceGroup(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0)
    if (const group* g = ::getgrgid(st.st_gid)) return g->gr_name;
  return "dialout";
}

bool PermissionRefused(int error) { return error == EACCES || error == EPERM; }

bool LineHungUp(intptr_t handle) {
  if (handle < 0) return false;
  const int fd = static_cast<int>(handle);
  pollfd p{fd, 0, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

}  // namespace varo
