#include "SerialPorts.h"

#include <cctype>

#include "CPort.h"

namespace varo {

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
    else if (PermissionRefused(err))
      scan.Refused.push_back(d);
  }
  return scan;
}

}  // namespace varo
