// Files, places and language for the catalogs on POSIX.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "CatalogFile.h"
#include "gnugettext.h"

const char* const kPathSeparators = "/";

bool CatalogFileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string SystemLanguage() { return ""; }

std::string ExecutablePath() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || size_t(length) >= path.size()) return "";
  path.resize(size_t(length));
  return path;
}

TCatalogFile::TCatalogFile(const std::string& path) {
  // Non-blocking: a FIFO given as a catalog must not hang the open.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  handle_ = fd;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
  size_ = uint64_t(st.st_size);
  open_ = true;
}

TCatalogFile::~TCatalogFile() {
  if (handle_ >= 0) close(int(handle_));
}

int64_t TCatalogFile::ReadAt(void* buffer, size_t length, uint64_t offset, std::string& error) const {
  for (;;) {
    const ssize_t n = pread(int(handle_), buffer, length, off_t(offset));
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    error = std::error_code(errno, std::generic_category()).message();
    return -1;
  }
}
