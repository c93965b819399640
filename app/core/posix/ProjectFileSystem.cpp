// Project files on POSIX: what a path names is looked at before it is opened, and a save
// replaces the file by a rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "core/FileErrorCodes.h"
#include "core/ProjectFile.h"
#include "core/ProjectFileErrors.h"

namespace varo {

namespace {

[[noreturn]] void ThrowErrno(const char* heading, const std::string& path) {
  throw SystemFileError(heading, path, errno);
}

// "Bu bir karakter aygıtı, ayar dosyası değil; ..." naming where a link led.
[[noreturn]] void ThrowNotAProjectFile(const std::string& heading, const std::string& path, const std::string& target,
                                       mode_t mode, const std::string& untouched) {
  throw NotAProjectFile(heading, path, target, FileKindName(mode), untouched);
}

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
  // Opening a serial port or a FIFO has effects of its own (modem lines, a wait for a writer).
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) ThrowErrno(ReadHeading, path);
  if (S_ISDIR(st.st_mode)) throw SystemFileError(ReadHeading, path, FolderCode);
  if (!S_ISREG(st.st_mode)) ThrowNotAProjectFile(ReadHeading, path, path, st.st_mode, ReadUntouched);
  Fd fd;
  fd.Value = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd.Value < 0) ThrowErrno(ReadHeading, path);
  if (::fstat(fd.Value, &st) != 0) ThrowErrno(ReadHeading, path);
  if (!S_ISREG(st.st_mode)) ThrowNotAProjectFile(ReadHeading, path, path, st.st_mode, ReadUntouched);
  DeviceImage image{};
  size_t got = 0;
  while (got < image.size()) {
    const ssize_t n = ::read(fd.Value, image.data() + got, image.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno(ReadHeading, path);
    if (n == 0) throw ShortReadError(path);
    got += static_cast<size_t>(n);
  }
  return image;
}

namespace {
// The name a save replaces, with links followed: a dangling link names the file it will create.
struct Target {
  std::string Path;
  bool Exists = false;
  struct stat Stat {};
};

Target ResolveTarget(const std::string& path) {
  Target t{path};
  for (int links = 0;; ++links) {
    if (::lstat(t.Path.c_str(), &t.Stat) != 0) {
      if (errno != ENOENT) ThrowErrno(WriteHeading, path);
      return t;
    }
    if (!S_ISLNK(t.Stat.st_mode)) break;
    if (links == 40) {
      errno = ELOOP;
      ThrowErrno(WriteHeading, path);
    }
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(t.Path.c_str(), buffer, sizeof buffer);
    if (n < 0) ThrowErrno(WriteHeading, path);
    const std::string to(buffer, static_cast<size_t>(n));
    const size_t slash = t.Path.rfind('/');
    t.Path = to[0] == '/' || slash == std::string::npos ? to : t.Path.substr(0, slash + 1) + to;
  }
  t.Exists = true;
  return t;
}
}  // namespace

void WriteProjectFile(const std::string& path, const DeviceImage& image) {
  const Target target = ResolveTarget(path);
  if (target.Exists && !S_ISREG(target.Stat.st_mode))
    ThrowNotAProjectFile(WriteHeading, path, target.Path, target.Stat.st_mode, WriteUntouched);

  const size_t slash = target.Path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.Path.substr(0, slash + 1);
  std::string temp = dir + "." + target.Path.substr(slash + 1) + ".XXXXXX";

  Fd fd;
  fd.Value = ::mkstemp(temp.data());
  if (fd.Value < 0) ThrowErrno(WriteHeading, path);
  struct Cleanup {
    const std::string& Path;
    bool Keep = false;
    ~Cleanup() {
      if (!Keep) ::unlink(Path.c_str());
    }
  } cleanup{temp};

  mode_t mode;
  if (target.Exists) {
    mode = target.Stat.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd.Value, mode) != 0) ThrowErrno(WriteHeading, path);

  size_t put = 0;
  while (put < image.size()) {
    const ssize_t n = ::write(fd.Value, image.data() + put, image.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno(WriteHeading, path);
    if (n == 0) throw ShortWriteError(path);
    put += static_cast<size_t>(n);
  }
  if (::fsync(fd.Value) != 0) ThrowErrno(WriteHeading, path);
  if (::close(fd.Release()) != 0) ThrowErrno(WriteHeading, path);
  // Something put there while we wrote is no more ours to replace than what we found.
  struct stat now {};
  if (::lstat(target.Path.c_str(), &now) == 0 && !S_ISREG(now.st_mode))
    ThrowNotAProjectFile(WriteHeading, path, target.Path, now.st_mode, WriteUntouched);
  if (::rename(temp.c_str(), target.Path.c_str()) != 0) ThrowErrno(WriteHeading, path);
  cleanup.Keep = true;
}

}  // namespace varo
