#include "SerialPorts.h"

#include <dirent.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "CPort.h"

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

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (std::isdigit(static_cast<unsigned char>(a[i])) && std::isdigit(static_cast<unsigned char>(b[j]))) {
      size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      // Leading zeros do not make a number larger.
      size_t zi = i, zj = j;
      while (zi + 1 < ei && a[zi] == '0') ++zi;
      while (zj + 1 < ej && b[zj] == '0') ++zj;
      if (ei - zi != ej - zj) return ei - zi < ej - zj;
      const int c = a.compare(zi, ei - zi, b, zj, ej - zj);
      if (c != 0) return c < 0;
      i = ei;
      j = ej;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

int ProbePort(const std::string& path) { return ProbeComDevice(path); }

PortScan ScanPorts(const std::vector<std::string>& devices, const PortProbe& probe) {
  PortScan scan;
  for (const std::string& d : devices) {
    if (scan.Free.size() == static_cast<size_t>(MaxListedPorts)) break;
    const int err = probe(d);
    if (err == 0)
      scan.Free.push_back(d);
    else if (err == EACCES || err == EPERM)
      scan.Refused.push_back(d);
  }
  return scan;
}

std::string DeviceGroup(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0)
    if (const group* g = ::getgrgid(st.st_gid)) return g->gr_name;
  return "dialout";
}

bool LineHungUp(int fd) {
  if (fd < 0) return false;
  pollfd p{fd, 0, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

}  // namespace varo
