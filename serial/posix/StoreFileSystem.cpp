// The settings stores' files on POSIX: read whole, replaced by a rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "StoreFile.h"

namespace cport_store {

namespace {

int WriteAll(int Fd, const std::string& Content) {
  size_t Done = 0;
  while (Done < Content.size()) {
    const ssize_t N = ::write(Fd, Content.data() + Done, Content.size() - Done);
    if (N < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    Done += static_cast<size_t>(N);
  }
  return 0;
}

// The file a path names, through a symbolic link, so that renaming keeps the link.
std::string Target(const std::string& Path) {
  struct stat St {};
  if (::lstat(Path.c_str(), &St) != 0 || !S_ISLNK(St.st_mode)) return Path;
  char Resolved[PATH_MAX];
  return ::realpath(Path.c_str(), Resolved) ? std::string(Resolved) : Path;
}

std::string Folder(const std::string& Path) {
  const size_t Slash = Path.rfind('/');
  if (Slash == std::string::npos) return ".";
  return Slash == 0 ? "/" : Path.substr(0, Slash);
}

}  // namespace

int ReadWholeFile(const std::string& Path, std::string& Content) {
  Content.clear();
  // Not blocking, so that opening a FIFO does not wait for a writer before it can be refused.
  const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (Fd < 0) return errno;
  struct stat St {};
  int Refused = 0;
  if (::fstat(Fd, &St) != 0)
    Refused = errno;
  else if (S_ISDIR(St.st_mode))
    Refused = EISDIR;
  else if (!S_ISREG(St.st_mode))
    Refused = EINVAL;
  else if (St.st_size > off_t(MaxStoreFileSize))
    Refused = EFBIG;
  if (Refused) {
    ::close(Fd);
    return Refused;
  }
  char Buf[65536];
  for (;;) {
    const ssize_t N = ::read(Fd, Buf, sizeof Buf);
    if (N == 0) break;
    // A file that grows while read is cut off as one that was too large at the start.
    if (N > 0 && Content.size() + size_t(N) > MaxStoreFileSize) {
      ::close(Fd);
      Content.clear();
      return EFBIG;
    }
    if (N < 0) {
      if (errno == EINTR) continue;
      const int Err = errno;
      ::close(Fd);
      return Err;
    }
    Content.append(Buf, static_cast<size_t>(N));
  }
  ::close(Fd);
  return 0;
}

int ReplaceWholeFile(const std::string& Path, const std::string& Content) {
  static std::atomic<unsigned> Counter{0};
  const std::string Final = Target(Path);
  struct stat Old {};
  const bool Exists = ::stat(Final.c_str(), &Old) == 0;
  if (Exists && !S_ISREG(Old.st_mode)) return S_ISDIR(Old.st_mode) ? EISDIR : EINVAL;

  std::string Temp;
  int Fd = -1;
  for (int Try = 0; Fd < 0; ++Try) {
    Temp = Final + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(Counter++);
    // 0666 lets the umask decide a new file's permissions, as for any file the user creates.
    Fd = ::open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (Fd < 0 && (errno != EEXIST || Try == 100)) return errno;
  }
  int Err = WriteAll(Fd, Content);
  if (!Err && Exists && ::fchmod(Fd, Old.st_mode & 07777) != 0) Err = errno;
  if (!Err && ::fsync(Fd) != 0) Err = errno;
  if (::close(Fd) != 0 && !Err) Err = errno;
  if (!Err && ::rename(Temp.c_str(), Final.c_str()) != 0) Err = errno;
  if (Err) {
    ::unlink(Temp.c_str());
    return Err;
  }
  // The rename itself must reach the disk too; a folder that cannot be synced is no failure.
  const int Dir = ::open(Folder(Final).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Dir >= 0) {
    (void)::fsync(Dir);
    ::close(Dir);
  }
  return 0;
}

std::string ErrorText(int Errno) {
  char Buf[256];
  // GNU strerror_r may return a static text instead of filling Buf.
  return ::strerror_r(Errno, Buf, sizeof Buf);
}

bool NoSettingsFile(int Code) { return Code == EINVAL || Code == EFBIG; }

bool MissingFile(int Code) { return Code == ENOENT; }

}  // namespace cport_store
