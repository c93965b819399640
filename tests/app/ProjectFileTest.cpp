#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include "core/ErrorText.h"
#include "core/ProjectFile.h"
#include "FileSizeLimit.h"
#include "SpecialFiles.h"

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

TEST(FileErrorText, CommonFailuresSayWhatToDo) {
  const struct {
    int Error;
    const char* Word;
  } advised[] = {{EROFS, "salt okunur"}, {EACCES, "izin"}, {EPERM, "izin"}, {ENOSPC, "yer kalmadı"},
                 {EFBIG, "yer kalmadı"}, {ENOENT, "yok"},  {ENOTDIR, "klasör değil"}, {EISDIR, "klasör"}};
  for (const auto& c : advised) {
    const std::string message = varo::FileErrorMessage("Ayar dosyası kaydedilemedi", varo::FileErrorText(c.Error),
                                                       "/m/p.vrd", varo::FileErrorAdvice(c.Error));
    // A Turkish heading and the path, the Part's text whole after it, the advice below.
    EXPECT_EQ(message.substr(0, message.find('\n')),
              "Ayar dosyası kaydedilemedi: /m/p.vrd (" + varo::FileErrorText(c.Error) + ")")
        << c.Error;
    EXPECT_NE(message.find(c.Word, message.find('\n')), std::string::npos) << message;
    EXPECT_EQ(message.back(), '.') << message;
  }
  EXPECT_EQ(varo::FileErrorMessage("Ayar dosyası açılamadı", varo::FileErrorText(EIO), "/m/p.vrd",
                                    varo::FileErrorAdvice(EIO)),
            "Ayar dosyası açılamadı: /m/p.vrd (I/O error 5)");
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
  const struct {
    std::string Path, Text, Advice;
  } cases[] = {
      {dir.Path + "/short.vrd", "Read beyond end of file", "Dosya 256 bayttan kısa; bir VARO ayar dosyası değil."},
      {dir.Path + "/missing.vrd", "File not found", varo::FileErrorAdvice(ENOENT)},
      {dir.Path + "/short.vrd/x", "Invalid filename", varo::FileErrorAdvice(ENOTDIR)},
      {dir.Path, "I/O error 21", varo::FileErrorAdvice(EISDIR)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Message([&] { varo::ReadProjectFile(c.Path); }),
              "Ayar dosyası açılamadı: " + c.Path + " (" + c.Text + ")\n" + c.Advice);
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
  std::string message;
  {
    const FileSizeLimit limit(100);
    ASSERT_TRUE(limit.Applied());
    message = Message([&] { varo::WriteProjectFile(path, Image(9)); });
  }
  EXPECT_EQ(message, "Ayar dosyası kaydedilemedi: " + path + " (Disk full)\n" + varo::FileErrorAdvice(ENOSPC));
  EXPECT_EQ(varo::ReadProjectFile(path), Image(7));
  EXPECT_EQ(std::system(("test $(ls -A '" + dir.Path + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(ProjectFile, MissingFolder) {
  TempDir dir;
  const std::string path = dir.Path + "/no/such/p.vrd";
  EXPECT_EQ(Message([&] { varo::WriteProjectFile(path, Image(1)); }),
            "Ayar dosyası kaydedilemedi: " + path + " (File not found)\n" + varo::FileErrorAdvice(ENOENT));
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
    const std::string denied = varo::FileErrorAdvice(EACCES);
    if (Message([&] { varo::WriteProjectFile(locked + "/p.vrd", Image(5)); }) !=
        "Ayar dosyası kaydedilemedi: " + locked + "/p.vrd (File access denied)\n" + denied)
      ::_exit(1);
    if (Message([&] { varo::ReadProjectFile(dir.Path + "/secret.vrd"); }) !=
        "Ayar dosyası açılamadı: " + dir.Path + "/secret.vrd (File access denied)\n" + denied)
      ::_exit(2);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(varo::ReadProjectFile(locked + "/p.vrd"), Image(3));
}

std::string Refusal(const std::string& path, const std::string& target, const std::string& kind) {
  return "Ayar dosyası kaydedilemedi: " + path + "\n" +
         (path == target ? std::string("Bu bir ") : "Bağlantının gösterdiği " + target + " bir ") + kind +
         ", ayar dosyası değil; ona hiçbir şey yazılmadı. Başka bir dosya adı seçin.";
}

size_t EntriesIn(const std::string& dir) {
  return static_cast<size_t>(std::system(("exit $(ls -A '" + dir + "' | wc -l)").c_str()) >> 8);
}

TEST(ProjectFile, WhatIsNotARegularFileIsNeverReplaced) {
  TempDir dir;
  SpecialFiles special(dir.Path);
  ASSERT_GE(special.Files.size(), 4u);  // at least fifo, pty, socket, folder
  for (const SpecialFile& f : special.Files) {
    SCOPED_TRACE(f.Name);
    const std::string link = dir.Path + "/" + (f.Name[0] == '/' ? f.Name.substr(5) : f.Name) + ".vrd";
    ASSERT_EQ(::symlink(f.Path.c_str(), link.c_str()), 0);
    const size_t entries = EntriesIn(dir.Path);
    const FileIdentity before = IdentityOf(f.Path);
    // Through a link and, for what lives in our folder, by its own name.
    EXPECT_EQ(Message([&] { varo::WriteProjectFile(link, Image(1)); }), Refusal(link, f.Path, f.Kind));
    if (f.Path.rfind(dir.Path, 0) == 0)
      EXPECT_EQ(Message([&] { varo::WriteProjectFile(f.Path, Image(1)); }), Refusal(f.Path, f.Path, f.Kind));
    EXPECT_EQ(IdentityOf(f.Path), before);
    EXPECT_EQ(LinkTarget(link), f.Path);
    EXPECT_EQ(EntriesIn(dir.Path), entries);  // no temporary file left behind
  }
}

TEST(ProjectFile, OnlyRegularFilesAreOpened) {
  TempDir dir;
  SpecialFiles special(dir.Path);
  for (const SpecialFile& f : special.Files) {
    if (f.Kind == "klasör") continue;  // a folder fails with the Part's "I/O error 21" above
    SCOPED_TRACE(f.Name);
    const FileIdentity before = IdentityOf(f.Path);
    // A FIFO without a writer would block an open for ever.
    EXPECT_EQ(Message([&] { varo::ReadProjectFile(f.Path); }),
              "Ayar dosyası açılamadı: " + f.Path + "\nBu bir " + f.Kind + ", ayar dosyası değil; okunmadı.");
    EXPECT_EQ(IdentityOf(f.Path), before);
  }
}

TEST(ProjectFile, ADanglingLinkGetsItsFileCreated) {
  TempDir dir;
  const std::string target = dir.Path + "/new.vrd", link = dir.Path + "/link.vrd";
  ASSERT_EQ(::symlink("new.vrd", link.c_str()), 0);
  varo::WriteProjectFile(link, Image(6));
  EXPECT_EQ(LinkTarget(link), "new.vrd");
  EXPECT_EQ(varo::ReadProjectFile(target), Image(6));
}

TEST(ProjectFile, ALinkLoopIsAnError) {
  TempDir dir;
  const std::string a = dir.Path + "/a.vrd", b = dir.Path + "/b.vrd";
  ASSERT_EQ(::symlink(b.c_str(), a.c_str()), 0);
  ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
  EXPECT_EQ(Message([&] { varo::WriteProjectFile(a, Image(1)); }), "Ayar dosyası kaydedilemedi: " + a + " (I/O error 40)");
  EXPECT_EQ(LinkTarget(a), b);
}

// A read-only mount in a mount namespace of a child's own; skipped where mounting is not allowed.
TEST(ProjectFile, AReadOnlyDiskKeepsTheOldFile) {
  TempDir dir;
  const std::string mountPoint = dir.Path + "/ro", path = mountPoint + "/p.vrd";
  ASSERT_EQ(::mkdir(mountPoint.c_str(), 0755), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
      ::_exit(77);
    varo::WriteProjectFile(path, Image(8));
    if (::mount(nullptr, mountPoint.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) ::_exit(77);
    if (Message([&] { varo::WriteProjectFile(path, Image(9)); }) !=
        "Ayar dosyası kaydedilemedi: " + path + " (I/O error 30)\n" + varo::FileErrorAdvice(EROFS))
      ::_exit(1);
    if (varo::ReadProjectFile(path) != Image(8)) ::_exit(2);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no private read-only mount here (needs CAP_SYS_ADMIN)";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
