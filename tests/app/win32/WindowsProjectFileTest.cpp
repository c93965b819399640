// Project files on Windows: names with Turkish letters, a save that fails keeping the old file,
// device names refused, and the file messages for Windows' error codes.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/ErrorText.h"
#include "core/ProjectFile.h"

namespace {

namespace fs = std::filesystem;

class WindowsProjectFile : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<unsigned> counter{0};
    folder_ = fs::temp_directory_path() /
              ("varo-file-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  // A path as the window hands it over: UTF-8.
  std::string At(const std::string& relative) const { return (folder_ / fs::u8path(relative)).u8string(); }
  std::string Names() const {
    std::string names;
    for (const auto& entry : fs::directory_iterator(folder_)) names += entry.path().filename().u8string() + ";";
    return names;
  }
  fs::path folder_;
};

varo::DeviceImage Image(uint8_t seed) {
  varo::DeviceImage image;
  for (size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(seed + i * 7);
  return image;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const varo::EFileError& e) {
    return e.what();
  }
  return "no error";
}

TEST_F(WindowsProjectFile, ATurkishNameInATurkishFolderSavesAndReopensByteForByte) {
  fs::create_directory(folder_ / fs::u8path("Müşteri"));
  const std::string path = At("Müşteri/Bodrum Katı.vrd");
  varo::WriteProjectFile(path, Image(3));
  EXPECT_EQ(fs::file_size(fs::u8path(path)), 256u);
  EXPECT_EQ(varo::ReadProjectFile(path), Image(3));
  varo::WriteProjectFile(path, Image(9));
  EXPECT_EQ(varo::ReadProjectFile(path), Image(9));
  // The saves left nothing beside the project.
  std::string names;
  for (const auto& entry : fs::directory_iterator(folder_ / fs::u8path("Müşteri")))
    names += entry.path().filename().u8string();
  EXPECT_EQ(names, "Bodrum Katı.vrd");
}

TEST_F(WindowsProjectFile, ASaveThatFailsKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::string path = At("Zemin.vrd");
  varo::WriteProjectFile(path, Image(1));
  const std::string before = Bytes(fs::u8path(path));
  // Another program holds the project open and lets no one replace it.
  const HANDLE held =
      CreateFileW(fs::u8path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string message = Message([&] { varo::WriteProjectFile(path, Image(2)); });
  CloseHandle(held);
  // Windows says "access denied" or "sharing violation", depending on its version.
  EXPECT_EQ(message.rfind("Ayar dosyası kaydedilemedi: " + path + " (", 0), 0u) << message;
  EXPECT_EQ(Bytes(fs::u8path(path)), before);
  EXPECT_EQ(Names(), "Zemin.vrd;");
}

TEST_F(WindowsProjectFile, DeviceNamesAreRefusedUntouchedInEveryFolderAndWithAnyExtension) {
  for (const std::string& name : {std::string("NUL"), At("con.vrd"), At("COM1.vrd"), At("lpt3"), std::string("\\\\.\\COM5")}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Message([&] { varo::ReadProjectFile(name); }),
              "Ayar dosyası açılamadı: " + name + "\nBu bir aygıt, ayar dosyası değil; okunmadı.");
    EXPECT_EQ(Message([&] { varo::WriteProjectFile(name, Image(0)); }),
              "Ayar dosyası kaydedilemedi: " + name +
                  "\nBu bir aygıt, ayar dosyası değil; ona hiçbir şey yazılmadı. Başka bir dosya adı seçin.");
  }
  EXPECT_EQ(Names(), "");
  // Names that only begin like one are files.
  varo::WriteProjectFile(At("COM10.vrd"), Image(4));
  varo::WriteProjectFile(At("Konsol.vrd"), Image(5));
  EXPECT_EQ(varo::ReadProjectFile(At("COM10.vrd")), Image(4));
}

TEST_F(WindowsProjectFile, FoldersAndMissingPathsGetTheirOwnMessages) {
  fs::create_directory(folder_ / fs::u8path("Klasör.vrd"));
  const std::string folder = At("Klasör.vrd");
  EXPECT_EQ(Message([&] { varo::WriteProjectFile(folder, Image(0)); }),
            "Ayar dosyası kaydedilemedi: " + folder +
                "\nBu bir klasör, ayar dosyası değil; ona hiçbir şey yazılmadı. Başka bir dosya adı seçin.");
  EXPECT_EQ(Message([&] { varo::ReadProjectFile(folder); }),
            "Ayar dosyası açılamadı: " + folder + " (I/O error 336)\nBu bir klasör, dosya değil; bir dosya adı seçin.");
  const std::string missing = At("Yok.vrd");
  EXPECT_EQ(Message([&] { varo::ReadProjectFile(missing); }),
            "Ayar dosyası açılamadı: " + missing +
                " (File not found)\nBöyle bir dosya ya da klasör yok; adı ve yolu denetleyin.");
  const std::string noFolder = At("Yok/Kat.vrd");
  EXPECT_EQ(Message([&] { varo::WriteProjectFile(noFolder, Image(0)); }),
            "Ayar dosyası kaydedilemedi: " + noFolder +
                " (Invalid filename)\nBöyle bir dosya ya da klasör yok; adı ve yolu denetleyin.");
}

TEST_F(WindowsProjectFile, AShortFileIsReadBeyondItsEnd) {
  const std::string path = At("Kısa.vrd");
  std::ofstream(fs::u8path(path), std::ios::binary) << std::string(255, 'x');
  EXPECT_EQ(Message([&] { varo::ReadProjectFile(path); }),
            "Ayar dosyası açılamadı: " + path +
                " (Read beyond end of file)\nDosya 256 bayttan kısa; bir VARO ayar dosyası değil.");
}

TEST(WindowsFileErrorText, TheRuntimeTextsForWindowsCodes) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, "File not found"},    {ERROR_PATH_NOT_FOUND, "Invalid filename"},
      {ERROR_TOO_MANY_OPEN_FILES, "Too many open files"}, {ERROR_ACCESS_DENIED, "File access denied"},
      {ERROR_DISK_FULL, "Disk full"},              {ERROR_HANDLE_DISK_FULL, "Disk full"},
      {ERROR_SHARING_VIOLATION, "I/O error 32"},   {ERROR_WRITE_PROTECT, "I/O error 19"},
  };
  for (const auto& c : cases) EXPECT_EQ(varo::FileErrorText(c.code), c.text) << c.code;
  EXPECT_EQ(varo::FileErrorAdvice(ERROR_WRITE_PROTECT),
            "Disk salt okunur bağlanmış, üzerine yazılamaz; başka bir diske ya da klasöre kaydedin.");
  EXPECT_EQ(varo::FileErrorAdvice(ERROR_SHARING_VIOLATION), "");
}

}  // namespace
