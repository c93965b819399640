// Where the running program lies, on Linux.
#include <unistd.h>

#include "gnugettext.h"

std::string ExecutablePath() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || size_t(length) >= path.size()) return "";
  path.resize(size_t(length));
  return path;
}
