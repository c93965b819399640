// What a settings store refuses to read as its file: anything that is no regular file, or one far
// larger than settings ever are. Refused with code 17, quickly, and the file stays as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "ComStore.h"
#include "EventTools.h"
#include "SettingsTestSupport.h"
#include "StoreFile.h"

namespace {

using namespace std::chrono_literals;

const struct {
  const char* Name;
  std::function<void(const std::string&)> Open;
} Stores[] = {
    {"ini file", [](const std::string& Path) { TIniFile Ini(Path); }},
    {"settings key file", [](const std::string& Path) { TRegistryFile Key(Path); }},
};

// "Name"=dword:... lines until the file is Size bytes long.
std::string KeyFileOf(size_t Size) {
  std::string Text;
  for (size_t I = 0; Text.size() < Size; ++I) Text += "\"V" + std::to_string(I) + "\"=dword:00000001\n";
  return Text.substr(0, Size);
}

TEST(StoreLimitsTest, WhatIsNoSettingsFileIsRefusedWithSeventeen) {
  TWatchdog Guard(30s);
  TTempDir Dir;
  ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0600), 0);
  WriteFile(Dir / "huge", std::string(cport_store::MaxStoreFileSize + 1, ';'));
  const struct {
    std::string Path;
    int System;
  } Cases[] = {{Dir / "fifo", EINVAL}, {"/dev/zero", EINVAL}, {Dir / "huge", EFBIG}};
  for (const auto& Store : Stores)
    for (const auto& C : Cases) {
      SCOPED_TRACE(std::string(Store.Name) + " " + C.Path);
      const std::optional<EComPort> Error = ErrorOf<EComPort>([&] { Store.Open(C.Path); });
      ASSERT_TRUE(Error.has_value());
      EXPECT_EQ(Error->ComErrorCode(), 17);
      EXPECT_EQ(Error->SystemErrorCode(), C.System);
    }
  EXPECT_EQ(ReadFile(Dir / "huge").size(), cport_store::MaxStoreFileSize + 1);
}

// The largest file taken is opened whole, every value found by its name in any case.
TEST(StoreLimitsTest, AFileOfTheLargestSizeTakenOpensWithEveryValue) {
  TTempDir Dir;
  const std::string Text = KeyFileOf(cport_store::MaxStoreFileSize);
  const size_t Last = Text.rfind("\"V", Text.rfind('\n', Text.size() - 2));
  const std::string LastName = Text.substr(Last + 1, Text.find('"', Last + 1) - Last - 1);
  WriteFile(Dir / "key", Text.substr(0, Text.rfind('\n') + 1));
  TRegistryFile Key(Dir / "key");
  EXPECT_EQ(Key.ReadInteger("v0"), 1);
  EXPECT_EQ(Key.ReadInteger(LastName), 1);
  Key.WriteInteger("V0", 2);
  EXPECT_EQ(TRegistryFile(Dir / "key").ReadInteger("V0"), 2);
}

}  // namespace
