#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iterator>
#include <string>

#include "ComStore.h"
#include "SettingsTestSupport.h"

namespace {

TEST(IniFileTest, WritingKeepsEverythingElseOfTheFile) {
  TTempDir Dir;
  const std::string Path = Dir / "a.ini";
  WriteFile(Path, "\xEF\xBB\xBF; top\r\n[Other]\r\nx = 1\r\n\r\n# about ComPort1\r\n[comport1]\r\n  baudrate = 9600\r\n"
                  "; end of section\r\n\r\n[Last]\r\ny=2");
  TIniFile Ini(Path);
  EXPECT_EQ(Ini.ReadString("ComPort1", "BaudRate", "?"), "9600");
  EXPECT_EQ(Ini.ReadString("OTHER", "X", "?"), "1");
  Ini.WriteString("ComPort1", "BaudRate", "19200");
  Ini.WriteInteger("ComPort1", "CustomBaudRate", -5);
  Ini.WriteString("New", "Port", "/dev/ttyUSB0");
  EXPECT_EQ(ReadFile(Path), "\xEF\xBB\xBF; top\r\n[Other]\r\nx = 1\r\n\r\n# about ComPort1\r\n[comport1]\r\n"
                            "baudrate=19200\r\nCustomBaudRate=-5\r\n; end of section\r\n\r\n[Last]\r\ny=2\r\n"
                            "\r\n[New]\r\nPort=/dev/ttyUSB0\r\n");
  EXPECT_EQ(ListDir(Dir.Path()), "a.ini");  // no temporary file left
  TIniFile Again(Path);
  EXPECT_EQ(Again.ReadInteger("ComPort1", "CustomBaudRate", 0), -5);
  EXPECT_EQ(Again.ReadString("new", "port", "?"), "/dev/ttyUSB0");
}

TEST(IniFileTest, StrayCarriageReturnsEndTheirLine) {
  TTempDir Dir;
  WriteFile(Dir / "r.ini", "[S]\r\nK=1\r\r\n; c\r");
  TIniFile Ini(Dir / "r.ini");
  EXPECT_EQ(Ini.ReadString("S", "K", "?"), "1");
  Ini.WriteString("S", "K2", "x");
  EXPECT_EQ(ReadFile(Dir / "r.ini"), "[S]\r\nK=1\r\nK2=x\r\n; c\r\n");
}

TEST(IniFileTest, ValuesReadBackExactly) {
  TTempDir Dir;
  const std::string Values[] = {"", " lead", "trail\t", "\"quoted\"", "\"", "a = b", "#13", ";", "=", "\xC3\xA7"};
  {
    TIniFile Ini(Dir / "v.ini");
    for (size_t I = 0; I < std::size(Values); ++I) Ini.WriteString("S", "K" + std::to_string(I), Values[I]);
  }
  TIniFile Ini(Dir / "v.ini");
  for (size_t I = 0; I < std::size(Values); ++I) EXPECT_EQ(Ini.ReadString("S", "K" + std::to_string(I), "?"), Values[I]);
  EXPECT_EQ(Ini.ReadString("S", "missing", "dflt"), "dflt");
  EXPECT_EQ(Ini.ReadString("T", "K0", "dflt"), "dflt");
}

TEST(IniFileTest, IntegersAndWhatIsNoInteger) {
  TTempDir Dir;
  WriteFile(Dir / "i.ini", "[S]\na=12\nb=0x1F\nc=$10\nd=-7\ne=abc\nf=\ng=99999999999\nh=1 2\n");
  TIniFile Ini(Dir / "i.ini");
  const std::pair<const char*, int32_t> Cases[] = {{"a", 12}, {"b", 31}, {"c", 16}, {"d", -7}, {"e", 42},
                                                   {"f", 42}, {"g", 42}, {"h", 42}, {"none", 42}};
  for (const auto& C : Cases) EXPECT_EQ(Ini.ReadInteger("S", C.first, 42), C.second) << C.first;
}

TEST(IniFileTest, AMissingFileIsCreatedByTheFirstWrite) {
  TTempDir Dir;
  const std::string Path = Dir / "new.ini";
  TIniFile Ini(Path);
  EXPECT_EQ(Ini.ReadString("S", "K", "d"), "d");
  EXPECT_EQ(ListDir(Dir.Path()), "");
  Ini.WriteString("S", "K", "v");
  EXPECT_EQ(ReadFile(Path), "[S]\nK=v\n");
}

TEST(IniFileTest, MalformedFilesAreRefusedWithTheirLine) {
  struct Case {
    std::string Text, Error;
  } Cases[] = {
      {"[ComPort1]\nBaudRate=19200\n[ComPo", "line 3: a section header without its closing ']'"},
      {"[ComPort1]\nBaudRate=19200\nStopBi", "line 3: neither a section header, a key=value line nor a comment"},
      {"[S]\n = 5\n", "line 2: '=' without a key before it"},
      {std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10), "line 1: a NUL byte; this is not a text file"},
      {"\x89PNG\r\n\x1A\n", "line 1: neither a section header"},
  };
  for (const Case& C : Cases) {
    TTempDir Dir;
    WriteFile(Dir / "bad.ini", C.Text);
    const std::string Got = MessageOf<EIniFileException>([&] { TIniFile Ini(Dir / "bad.ini"); });
    EXPECT_NE(Got.find("Ini file '" + Dir / "bad.ini" + "', " + C.Error), std::string::npos) << Got;
    EXPECT_EQ(ReadFile(Dir / "bad.ini"), C.Text);
  }
  TTempDir Dir;
  EXPECT_EQ(MessageOf<EIniFileException>([&] { TIniFile Ini(Dir.Path()); }), "Cannot read ini file '" + Dir.Path() + "': Is a directory");
  // A file cut short after a whole line is still an ini file.
  WriteFile(Dir / "cut.ini", "[ComPort1]\nBaudRate=192");
  EXPECT_EQ(TIniFile(Dir / "cut.ini").ReadString("ComPort1", "BaudRate", "?"), "192");
}

TEST(IniFileTest, NamesAndValuesALineCannotHoldAreRefused) {
  TTempDir Dir;
  WriteFile(Dir / "a.ini", "[S]\nK=1\n");
  TIniFile Ini(Dir / "a.ini");
  const std::string Bad[][3] = {{"", "K", "v"},   {" S", "K", "v"},  {"S\nT", "K", "v"}, {"S", "", "v"},
                                {"S", "a=b", "v"}, {"S", "[K", "v"}, {"S", ";K", "v"},   {"S", "K ", "v"},
                                {"S", "K", "line\nbreak"},           {"S", "K", std::string("nul\0", 4)}};
  for (const auto& B : Bad) {
    const std::string Got = MessageOf<EIniFileException>([&] { Ini.WriteString(B[0], B[1], B[2]); });
    EXPECT_EQ(Got.rfind("Ini file '" + Dir / "a.ini" + "': cannot store [", 0), 0u) << Got;
  }
  EXPECT_EQ(ReadFile(Dir / "a.ini"), "[S]\nK=1\n");
}

TEST(IniFileTest, SavingKeepsLinksAndPermissionsAndAFailedSaveLosesNothing) {
  TTempDir Dir;
  WriteFile(Dir / "real.ini", "[S]\nK=1\n");
  ASSERT_EQ(::chmod((Dir / "real.ini").c_str(), 0640), 0);
  ASSERT_EQ(::symlink("real.ini", (Dir / "link.ini").c_str()), 0);
  TIniFile Ini(Dir / "link.ini");
  Ini.WriteString("S", "K", "2");
  struct stat St {};
  ASSERT_EQ(::lstat((Dir / "link.ini").c_str(), &St), 0);
  EXPECT_TRUE(S_ISLNK(St.st_mode));
  ASSERT_EQ(::stat((Dir / "real.ini").c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadFile(Dir / "real.ini"), "[S]\nK=2\n");

  const std::string Sub = Dir / "sub";
  ASSERT_EQ(::mkdir(Sub.c_str(), 0755), 0);
  TIniFile Gone(Sub + "/g.ini");
  ASSERT_EQ(::rmdir(Sub.c_str()), 0);
  EXPECT_EQ(MessageOf<EIniFileException>([&] { Gone.WriteString("S", "K", "v"); }),
            "Cannot write ini file '" + Sub + "/g.ini': No such file or directory");
  EXPECT_EQ(Gone.ReadString("S", "K", "unset"), "unset");
}

}  // namespace
