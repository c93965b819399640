// The settings stores on Windows: files under names with Turkish letters, a save that fails
// leaving the old file whole, and the registry itself as a key store.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "CPort.h"
#include "ComStore.h"
#include "../SettingsTestSupport.h"

namespace {

namespace fs = std::filesystem;

std::wstring Wide(const std::string& Utf8) { return fs::u8path(Utf8).wstring(); }

TEST(WindowsStores, AnIniFileUnderTurkishNamesSavesAndReadsBack) {
  TTempDir Dir;
  const std::string Folder = Dir / "Müşteri Ayarları";
  fs::create_directory(fs::u8path(Folder));
  const std::string Path = Folder + "/Kat Göstergesi.ini";
  {
    TIniFile Ini(Path);
    Ini.WriteString("Port", "Name", "COM12");
    Ini.WriteInteger("Port", "Rate", 19200);
  }
  TIniFile Again(Path);
  EXPECT_EQ(Again.ReadString("Port", "Name", ""), "COM12");
  EXPECT_EQ(Again.ReadInteger("Port", "Rate", 0), 19200);
  // Each save put its temporary file in the old one's place.
  EXPECT_EQ(ListDir(Folder), "Kat Göstergesi.ini");
}

TEST(WindowsStores, ASaveThatCannotReplaceTheFileLeavesItWhole) {
  TTempDir Dir;
  const std::string Path = Dir / "port.ini";
  WriteFile(Path, "[Port]\r\nName=COM3\r\n");
  TIniFile Ini(Path);
  // Another program holds the file open and lets no one replace it.
  const HANDLE Held = CreateFileW(Wide(Path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(Held, INVALID_HANDLE_VALUE);
  EXPECT_THROW(Ini.WriteString("Port", "Name", "COM4"), EIniFileException);
  CloseHandle(Held);
  EXPECT_EQ(ReadFile(Path), "[Port]\r\nName=COM3\r\n");
  EXPECT_EQ(ListDir(Dir.Path()), "port.ini");
}

TEST(WindowsStores, AFolderOrADeviceIsNoSettingsFile) {
  TTempDir Dir;
  const std::string Folder = Dir / "klasör";
  fs::create_directory(fs::u8path(Folder));
  EXPECT_THROW(TIniFile{Folder}, EIniFileException);
  const auto Device = ErrorOf<EComPort>([] { TIniFile Ini("NUL"); });
  ASSERT_TRUE(Device);
  EXPECT_EQ(Device->ComErrorCode(), CError_LoadFailed);
}

class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Path = "Software\\VARO Test\\" + std::to_string(GetCurrentProcessId());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Wide(Path).c_str()); }

  DWORD KindOf(const std::string& Name) {
    DWORD Type = 0;
    RegGetValueW(HKEY_CURRENT_USER, Wide(Path).c_str(), Wide(Name).c_str(), RRF_RT_ANY, &Type, nullptr, nullptr);
    return Type;
  }
  std::string Path;
};

TEST_F(RegistryKeyTest, APortsSettingsGoIntoTheUsersKeyAndComeBack) {
  TComPort Port;
  Port.SetStoredGroups({sgLine, sgBuffer, sgOther});
  Port.SetPort("COM12");
  Port.SetBaudRate(br19200);
  Port.Buffer().SetInputSize(4096);
  {
    TRegistryKey Key(Path);
    Port.SaveToRegistryKey(Key);
  }
  EXPECT_EQ(KindOf("Port"), DWORD(REG_SZ));
  EXPECT_EQ(KindOf("BaudRate"), DWORD(REG_SZ));
  EXPECT_EQ(KindOf("Buffer.InputSize"), DWORD(REG_DWORD));

  TComPort Copy;
  Copy.SetStoredGroups({sgLine, sgBuffer, sgOther});
  TRegistryKey Key(Path);
  Copy.LoadFromRegistryKey(Key);
  EXPECT_EQ(Copy.Port(), "COM12");
  EXPECT_EQ(Copy.BaudRate(), br19200);
  EXPECT_EQ(Copy.Buffer().InputSize(), 4096);
}

TEST_F(RegistryKeyTest, AMissingOrMistypedValueFailsWithItsName) {
  TRegistryKey Key(Path);
  EXPECT_EQ(Key.ReadString("Nothing"), "");
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Key.ReadInteger("Nothing"); }), "Failed to get data for 'Nothing'");
  Key.WriteString("Text", "on");
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Key.ReadInteger("Text"); }), "Invalid data type for 'Text'");
  Key.WriteInteger("Number", -7);
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Key.ReadString("Number"); }), "Invalid data type for 'Number'");
  EXPECT_EQ(Key.ReadInteger("Number"), -7);
  Key.WriteString("Ad", "Kat Göstergesi");
  EXPECT_EQ(Key.ReadString("Ad"), "Kat Göstergesi");
}

}  // namespace
