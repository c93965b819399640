#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include "core/ErrorText.h"
#include "core/ProjectFile.h"

namespace {

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/varo-file-XXXXXX";
    Path = ::mkdtemp(pattern);
  }
  ~TempDir() {
    ::chmod(Path.c_str(), 0700);
    std::string cmd = "rm -rf '" + Path + "'";
    if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << cmd;
  }
  std::string Path;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

varo::DeviceImage Image(uint8_t fill) {
  varo::DeviceImage image;
  image.fill(fill);
  return image;
}

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const varo::EFileError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(FileErrorText, TextsByErrno) {
  EXPECT_EQ(varo::FileErrorText(ENOENT), "File not found");
  EXPECT_EQ(varo::FileErrorText(ENOTDIR), "Invalid filename");
  EXPECT_EQ(varo::FileErrorText(EMFILE), "Too many open files");
  EXPECT_EQ(varo::FileErrorText(EACCES), "File access denied");
  EXPECT_EQ(varo::FileErrorText(EPERM), "File access denied");
  EXPECT_EQ(varo::FileErrorText(ENOSPC), "Disk full");
  EXPECT_EQ(varo::FileErrorText(EISDIR), "I/O error 21");
  EXPECT_EQ(varo::FileErrorText(EROFS), "I/O error 30");
}

TEST(FullStop, AddedAfterLettersAndDigitsOnly) {
  EXPECT_EQ(varo::WithFullStop("Disk full"), "Disk full.");
  EXPECT_EQ(varo::WithFullStop("I/O error 21"), "I/O error 21.");
  EXPECT_EQ(varo::WithFullStop("Unable to open com port: (2)"), "Unable to open com port: (2)");
  EXPECT_EQ(varo::WithFullStop("Dur!"), "Dur!");
  EXPECT_EQ(varo::WithFullStop("Done."), "Done.");
  EXPECT_EQ(varo::WithFullStop("dosyası açılmadı"), "dosyası açılmadı.");
  EXPECT_EQ(varo::WithFullStop("a/"), "a/.");
  EXPECT_EQ(varo::WithFullStop("a-"), "a-");
  EXPECT_EQ(varo::WithFullStop(""), "");
}

TEST(ProjectFile, WritesAndReadsTheRawBytes) {
  TempDir dir;
  const std::string path = dir.Path + "/p.vrd";
  varo::DeviceImage image;
  for (int i = 0; i < 256; ++i) image[i] = static_cast<uint8_t>(255 - i);
  varo::WriteProjectFile(path, image);
  EXPECT_EQ(ReadAll(path), std::string(image.begin(), image.end()));
  EXPECT_EQ(varo::ReadProjectFile(path), image);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~[] { mode_t m = ::umask(0); ::umask(m); return m; }());
  // Nothing but the target is left in the folder.
  EXPECT_EQ(std::system(("test $(ls -A '" + dir.Path + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(ProjectFile, ReadsTheFirst256BytesOfALongerFile) {
  TempDir dir;
  const std::string path = dir.Path + "/long.vrd";
  WriteAll(path, std::string(256, 'a') + std::string(44, 'b'));
  EXPECT_EQ(varo::ReadProjectFile(path), Image('a'));
}

TEST(ProjectFile, ReadFailuresCarryTheirTexts) {
  TempDir dir;
  WriteAll(dir.Path + "/short.vrd", std::string(255, 'a'));
  EXPECT_EQ(Message([&] { varo::ReadProjectFile(dir.Path + "/short.vrd"); }), "Read beyond end of file");
  EXPECT_EQ(Message([&] { varo::ReadProjectFile(dir.Path + "/missing.vrd"); }), "File not found");
  EXPECT_EQ(Message([&] { varo::ReadProjectFile(dir.Path + "/short.vrd/x"); }), "Invalid filename");
  EXPECT_EQ(Message([&] { varo::ReadProjectFile(dir.Path); }), "I/O error 21");
}

TEST(ProjectFile, ReplacingKeepsTheModeAndFollowsALink) {
  TempDir dir;
  const std::string target = dir.Path + "/real.vrd", link = dir.Path + "/link.vrd";
  varo::WriteProjectFile(target, Image(1));
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  varo::WriteProjectFile(link, Image(2));
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(varo::ReadProjectFile(target), Image(2));
}

TEST(ProjectFile, AFullDiskLeavesTheOldFileWhole) {
  TempDir dir;
  const std::string path = dir.Path + "/p.vrd";
  varo::WriteProjectFile(path, Image(7));
  // A file-size limit below 256 bytes makes the write come up short as on a full disk.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 100;
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string message = Message([&] { varo::WriteProjectFile(path, Image(9)); });
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(message, "Disk full");
  EXPECT_EQ(varo::ReadProjectFile(path), Image(7));
  EXPECT_EQ(std::system(("test $(ls -A '" + dir.Path + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(ProjectFile, MissingFolder) {
  TempDir dir;
  EXPECT_EQ(Message([&] { varo::WriteProjectFile(dir.Path + "/no/such/p.vrd", Image(1)); }), "File not found");
}

// Root may write anywhere; the check runs in a child that gives up root first.
TEST(ProjectFile, NoPermissionIsAccessDenied) {
  TempDir dir;
  const std::string locked = dir.Path + "/locked";
  ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
  varo::WriteProjectFile(locked + "/p.vrd", Image(3));
  varo::WriteProjectFile(dir.Path + "/secret.vrd", Image(4));
  ASSERT_EQ(::chmod((dir.Path + "/secret.vrd").c_str(), 0), 0);
  ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
  ASSERT_EQ(::chmod(dir.Path.c_str(), 0755), 0);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(10);
    if (Message([&] { varo::WriteProjectFile(locked + "/p.vrd", Image(5)); }) != "File access denied") ::_exit(1);
    if (Message([&] { varo::ReadProjectFile(dir.Path + "/secret.vrd"); }) != "File access denied") ::_exit(2);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(varo::ReadProjectFile(locked + "/p.vrd"), Image(3));
}
