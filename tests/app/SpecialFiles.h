#pragma once
// Files a save must never replace: a FIFO, a terminal, a socket, a folder, /dev/null, /dev/full.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

struct SpecialFile {
  std::string Name;  // for messages of the test
  std::string Path;
  std::string Kind;  // as the refusal names it
};

// Makes the ones that need making inside `dir`; the pseudo-terminal and socket stay open
// as long as the holder lives.
class SpecialFiles {
 public:
  explicit SpecialFiles(const std::string& dir) {
    const std::string fifo = dir + "/fifo";
    if (::mkfifo(fifo.c_str(), 0644) == 0) Files.push_back({"fifo", fifo, "adlandırılmış boru (FIFO)"});
    Pty = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (Pty >= 0 && ::grantpt(Pty) == 0 && ::unlockpt(Pty) == 0)
      Files.push_back({"pty", ::ptsname(Pty), "karakter aygıtı"});
    const std::string socketPath = dir + "/socket";
    Socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (Socket >= 0 && ::bind(Socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
      Files.push_back({"socket", socketPath, "soket"});
    const std::string folder = dir + "/folder";
    if (::mkdir(folder.c_str(), 0755) == 0) Files.push_back({"folder", folder, "klasör"});
    for (const char* device : {"/dev/null", "/dev/full"}) {
      struct stat st {};
      if (::stat(device, &st) == 0 && S_ISCHR(st.st_mode)) Files.push_back({device, device, "karakter aygıtı"});
    }
  }
  ~SpecialFiles() {
    if (Pty >= 0) ::close(Pty);
    if (Socket >= 0) ::close(Socket);
  }
  SpecialFiles(const SpecialFiles&) = delete;
  SpecialFiles& operator=(const SpecialFiles&) = delete;

  std::vector<SpecialFile> Files;

 private:
  int Pty = -1;
  int Socket = -1;
};

// What must stay the same about a file a save refused.
struct FileIdentity {
  dev_t Device;
  ino_t Inode;
  mode_t Mode;
  dev_t Rdev;
  off_t Size;
  bool operator==(const FileIdentity& o) const {
    return Device == o.Device && Inode == o.Inode && Mode == o.Mode && Rdev == o.Rdev && Size == o.Size;
  }
};

inline FileIdentity IdentityOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {};
  return {st.st_dev, st.st_ino, st.st_mode, st.st_rdev, S_ISDIR(st.st_mode) ? 0 : st.st_size};
}

inline std::string LinkTarget(const std::string& link) {
  char buffer[4096];
  const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
  return n < 0 ? std::string() : std::string(buffer, static_cast<size_t>(n));
}
