#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "ComStore.h"
#include "SettingsTestSupport.h"

namespace {

TEST(RegistryFileTest, ValuesKeepTheirKindAcrossTheFile) {
  TTempDir Dir;
  const std::string Path = Dir / "key.reg";
  const std::string Odd = std::string("a\"b\\c\n\t\x7F\0\xC3\xA7", 11);
  {
    TRegistryFile Reg(Path);
    Reg.WriteString("Port", "COM1");
    Reg.WriteInteger("CustomBaudRate", 31250);
    Reg.WriteInteger("Timeouts.ReadInterval", -1);
    Reg.WriteString("odd \"name\"", Odd);
    Reg.WriteString("Port", "/dev/ttyUSB0");
  }
  EXPECT_EQ(ReadFile(Path).substr(ReadFile(Path).find('\n') + 1),
            "\"Port\"=\"/dev/ttyUSB0\"\n\"CustomBaudRate\"=dword:00007a12\n\"Timeouts.ReadInterval\"=dword:ffffffff\n"
            "\"odd \\\"name\\\"\"=\"a\\\"b\\\\c\\x0a\\x09\\x7f\\x00\xC3\xA7\"\n");
  EXPECT_EQ(ListDir(Dir.Path()), "key.reg");
  TRegistryFile Reg(Path);
  EXPECT_EQ(Reg.ReadString("port"), "/dev/ttyUSB0");
  EXPECT_EQ(Reg.ReadInteger("CUSTOMBAUDRATE"), 31250);
  EXPECT_EQ(Reg.ReadInteger("Timeouts.ReadInterval"), -1);
  EXPECT_EQ(Reg.ReadString("odd \"name\""), Odd);
  // A value written with another kind changes kind where it stands, keeping its spelling.
  Reg.WriteInteger("PORT", 7);
  EXPECT_EQ(Reg.ReadInteger("Port"), 7);
  EXPECT_NE(ReadFile(Path).find("\n\"Port\"=dword:00000007\n\"CustomBaudRate\""), std::string::npos);
}

TEST(RegistryFileTest, ReadingTheWrongKindOrAMissingInteger) {
  TTempDir Dir;
  WriteFile(Dir / "k.reg", "; comment\n\"T\"=\"x\"\n  \"D\" = dword:2A\r\n\"Q\"=QWORD:123456789\n");
  TRegistryFile Reg(Dir / "k.reg");
  EXPECT_EQ(Reg.ReadString("T"), "x");
  EXPECT_EQ(Reg.ReadString("none"), "");
  EXPECT_EQ(Reg.ReadInteger("d"), 42);
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.ReadString("D"); }), "Invalid data type for 'D'");
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.ReadString("Q"); }), "Invalid data type for 'Q'");
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.ReadInteger("T"); }), "Invalid data type for 'T'");
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.ReadInteger("Q"); }), "Failed to get data for 'Q'");
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.ReadInteger("none"); }), "Failed to get data for 'none'");
}

TEST(RegistryFileTest, MalformedFilesAreRefusedWithTheirLine) {
  struct Case {
    std::string Text, Error;
  } Cases[] = {
      {"Port=COM1\n", "line 1: a value must start with its name in double quotes"},
      {"\"Port\"=\"COM1\"\n\"Baud", "line 2: a value must start with its name in double quotes"},
      {"\"Port\" \"COM1\"\n", "line 1: '=' must follow the value's name"},
      {"\"Port\"=\"COM1\n", "line 1: the text value is not closed properly"},
      {"\"Port\"=\"a\\qb\"\n", "line 1: the text value is not closed properly"},
      {"\"N\"=dword:123456789\n", "line 1: dword: must be followed by 1 to 8 hex digits"},
      {"\"N\"=dword:\n", "line 1: dword: must be followed by 1 to 8 hex digits"},
      {"\"N\"=hex:01,02\n", "line 1: a value must be \"text\", dword:<hex> or qword:<hex>"},
      {"\"N\"=\"a\"\n\"n\"=\"b\"\n", "line 2: the value 'n' is given twice"},
      {std::string("\"N\"=\"\0\"\n", 8), "line 1: a NUL byte; this is not a text file"},
  };
  for (const Case& C : Cases) {
    TTempDir Dir;
    WriteFile(Dir / "bad.reg", C.Text);
    EXPECT_EQ(MessageOf<ERegistryException>([&] { TRegistryFile Reg(Dir / "bad.reg"); }),
              "Settings key file '" + Dir / "bad.reg" + "', " + C.Error);
  }
  TTempDir Dir;
  EXPECT_EQ(MessageOf<ERegistryException>([&] { TRegistryFile Reg(Dir.Path()); }),
            "Cannot read settings key file '" + Dir.Path() + "': Is a directory");
}

TEST(RegistryFileTest, AValueThatCannotBeSavedFailsAndChangesNothing) {
  TTempDir Dir;
  const std::string Sub = Dir / "sub";
  ASSERT_EQ(::mkdir(Sub.c_str(), 0755), 0);
  TRegistryFile Reg(Sub + "/k.reg");
  Reg.WriteString("Port", "A");
  ASSERT_EQ(::unlink((Sub + "/k.reg").c_str()), 0);
  ASSERT_EQ(::rmdir(Sub.c_str()), 0);
  const auto E = ErrorOf<ERegistryException>([&] { Reg.WriteString("Port", "B"); });
  ASSERT_TRUE(E);
  EXPECT_EQ(std::string(E->what()), "Failed to set data for 'Port'");
  EXPECT_EQ(E->Detail(), "No such file or directory");
  EXPECT_EQ(Reg.ReadString("Port"), "A");
}

}  // namespace
