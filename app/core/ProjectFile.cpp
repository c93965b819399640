#include "ProjectFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace varo {

EFileError::EFileError(const std::string& message, int systemErrorCode)
    : std::runtime_error(message), SystemErrorCode(systemErrorCode) {}

std::string FileErrorText(int error) {
  switch (error) {
    case ENOENT: return "File not found";
    case ENOTDIR: return "Invalid filename";
    case EMFILE: return "Too many open files";
    case EACCES:
    case EPERM: return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return "Disk full";
    default: return "I/O error " + std::to_string(error);
  }
}

EFileError ShortReadError() { return EFileError("Read beyond end of file", 0); }
EFileError ShortWriteError() { return EFileError("Disk full", 0); }

[[noreturn]] static void ThrowErrno() {
  const int e = errno;
  throw EFileError(FileErrorText(e), e);
}

namespace {
struct Fd {
  int Value = -1;
  ~Fd() {
    if (Value >= 0) ::close(Value);
  }
  int Release() {
    const int v = Value;
    Value = -1;
    return v;
  }
};
}  // namespace

DeviceImage ReadProjectFile(const std::string& path) {
  Fd fd;
  fd.Value = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd.Value < 0) ThrowErrno();
  DeviceImage image{};
  size_t got = 0;
  while (got < image.size()) {
    const ssize_t n = ::read(fd.Value, image.data() + got, image.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno();
    if (n == 0) throw ShortReadError();
    got += static_cast<size_t>(n);
  }
  return image;
}

// The file a save replaces: a symbolic link keeps pointing at the new file.
static std::string ResolvedTarget(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

void WriteProjectFile(const std::string& path, const DeviceImage& image) {
  const std::string target = ResolvedTarget(path);
  const size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = (slash == std::string::npos ? std::string() : dir) + "." + base + ".XXXXXX";

  Fd fd;
  fd.Value = ::mkstemp(temp.data());
  if (fd.Value < 0) ThrowErrno();
  struct Cleanup {
    const std::string& Path;
    bool Keep = false;
    ~Cleanup() {
      if (!Keep) ::unlink(Path.c_str());
    }
  } cleanup{temp};

  struct stat old {};
  mode_t mode;
  if (::stat(target.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd.Value, mode) != 0) ThrowErrno();

  size_t put = 0;
  while (put < image.size()) {
    const ssize_t n = ::write(fd.Value, image.data() + put, image.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno();
    if (n == 0) throw ShortWriteError();
    put += static_cast<size_t>(n);
  }
  if (::fsync(fd.Value) != 0) ThrowErrno();
  if (::close(fd.Release()) != 0) ThrowErrno();
  if (::rename(temp.c_str(), target.c_str()) != 0) ThrowErrno();
  cleanup.Keep = true;
}

}  // namespace varo
