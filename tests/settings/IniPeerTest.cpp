// Our ini files against another ini reader and writer: Python's configparser (ini_peer.py).
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CPort.h"
#include "ComStore.h"
#include "SettingsTestSupport.h"

extern char** environ;

namespace {

using Values = std::map<std::string, std::string>;  // "Section/Key" -> value

std::string FindPython() {
  const char* Path = std::getenv("PATH");
  std::istringstream Dirs(Path ? Path : "");
  for (std::string Dir; std::getline(Dirs, Dir, ':');) {
    const std::string Candidate = (Dir.empty() ? "." : Dir) + "/python3";
    if (::access(Candidate.c_str(), X_OK) == 0) return Candidate;
  }
  return "";
}

// Runs ini_peer.py with Args and returns what it printed; fails the test on a non-zero exit.
std::string RunPeer(const std::string& Python, std::vector<std::string> Args) {
  Args.insert(Args.begin(), {Python, VARO_INI_PEER});
  std::vector<char*> Argv;
  for (std::string& A : Args) Argv.push_back(A.data());
  Argv.push_back(nullptr);
  int Pipe[2];
  if (::pipe(Pipe) != 0) return "";
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_adddup2(&Actions, Pipe[1], 1);
  posix_spawn_file_actions_addclose(&Actions, Pipe[0]);
  pid_t Pid = 0;
  const int Err = posix_spawn(&Pid, Python.c_str(), &Actions, nullptr, Argv.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  ::close(Pipe[1]);
  std::string Out;
  char Buf[4096];
  for (ssize_t N; (N = ::read(Pipe[0], Buf, sizeof Buf)) > 0;) Out.append(Buf, static_cast<size_t>(N));
  ::close(Pipe[0]);
  int Status = -1;
  if (Err == 0) ::waitpid(Pid, &Status, 0);
  EXPECT_TRUE(Err == 0 && WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Args[2] << " failed";
  return Out;
}

Values Dump(const std::string& Python, const std::string& File) {
  Values All;
  std::istringstream Lines(RunPeer(Python, {"dump", File}));
  for (std::string Line; std::getline(Lines, Line);) {
    const size_t A = Line.find('\t'), B = Line.find('\t', A + 1);
    All[Line.substr(0, A) + "/" + Line.substr(A + 1, B - A - 1)] = Line.substr(B + 1);
  }
  return All;
}

// Values of every group, with characters that ini readers are apt to take for syntax.
const Values PortValues = {
    {"Port", "/dev/serial/by-id/usb-FTDI_A1:1.0-port0"},
    {"BaudRate", "Custom"},
    {"CustomBaudRate", "31250"},
    {"StopBits", "1.5"},
    {"DataBits", "7"},
    {"Parity", "Space"},
    {"FlowControl", "Software"},
    {"EventChar", "="},
    {"DiscardNull", "Yes"},
    {"Parity.Check", "Yes"},
    {"Parity.Replace", "Yes"},
    {"Parity.ReplaceChar", ";"},
    {"Buffer.OutputSize", "512"},
    {"Buffer.InputSize", "8192"},
    {"Timeouts.ReadInterval", "-1"},
    {"Timeouts.ReadTotalConstant", "250"},
    {"Timeouts.ReadTotalMultiplier", "3"},
    {"Timeouts.WriteTotalConstant", "0"},
    {"Timeouts.WriteTotalMultiplier", "7"},
    {"FlowControl.ControlRTS", "Disable"},
    {"FlowControl.ControlDTR", "Handshake"},
    {"FlowControl.DSRSensitivity", "No"},
    {"FlowControl.OutCTSFlow", "No"},
    {"FlowControl.OutDSRFlow", "Yes"},
    {"FlowControl.TxContinueOnXoff", "No"},
    {"FlowControl.XonXoffIn", "Yes"},
    {"FlowControl.XonXoffOut", "Yes"},
    {"FlowControl.XoffChar", "%"},
    {"FlowControl.XonChar", "#0"},
};

Values InSection(const std::string& Section, const Values& Plain) {
  Values V;
  for (const auto& [K, Value] : Plain) V[Section + "/" + K] = Value;
  return V;
}

class IniPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Python = FindPython();
    if (Python.empty()) GTEST_SKIP() << "python3 is not installed";
  }
  std::string Python;
  TTempDir Dir;
};

TEST_F(IniPeerTest, ConfigparserReadsTheValuesWeWrite) {
  const std::string File = Dir / "ours.ini";
  WriteFile(File, "; kept by us\n[Unrelated]\nKept = yes\n");
  TIniFile Ini(File);
  TComPort Source;  // loaded from the plain values, then written by us
  Source.SetStoredGroups({sgLine, sgFlowDetails, sgBuffer, sgTimeouts, sgParityDetails, sgOther});
  Source.SetName("Source");
  for (const auto& [K, V] : PortValues) Ini.WriteString("Source", K, V);
  Source.LoadFromIniSection(Ini);
  Source.SetName("ComPort1");
  Source.SaveToIniSection(Ini);

  Values Expected = InSection("ComPort1", PortValues);
  for (const auto& [K, V] : InSection("Source", PortValues)) Expected[K] = V;
  Expected["Unrelated/Kept"] = "yes";
  EXPECT_EQ(Dump(Python, File), Expected);
}

TEST_F(IniPeerTest, AFileConfigparserWritesLoadsIntoAPort) {
  const std::string File = Dir / "theirs.ini";
  std::vector<std::string> Args = {"write", File, "ComPort1"};
  for (const auto& [K, V] : PortValues) Args.push_back(K + "=" + V);
  RunPeer(Python, Args);
  ASSERT_NE(ReadFile(File).find("baudrate = Custom"), std::string::npos) << ReadFile(File);

  TIniFile Theirs(File);
  TComPort P;
  P.SetName("ComPort1");
  P.SetStoredGroups({sgLine, sgFlowDetails, sgBuffer, sgTimeouts, sgParityDetails, sgOther});
  P.LoadFromIniSection(Theirs);
  EXPECT_EQ(P.Port(), "/dev/serial/by-id/usb-FTDI_A1:1.0-port0");
  EXPECT_EQ(P.BaudRate(), brCustom);
  EXPECT_EQ(P.CustomBaudRate(), 31250);
  EXPECT_EQ(P.StopBits(), sbOne5StopBits);
  EXPECT_EQ(P.Parity().ReplaceChar(), ';');
  EXPECT_EQ(P.Timeouts().ReadInterval(), -1);
  EXPECT_EQ(P.FlowControl().ControlDTR(), dtrHandshake);
  EXPECT_EQ(P.FlowControl().XoffChar(), '%');
  EXPECT_EQ(P.FlowControl().XonChar(), 0);

  // Every value survives the trip through the port into a file of ours, as configparser sees it.
  TIniFile Ours(Dir / "ours.ini");
  P.SaveToIniSection(Ours);
  EXPECT_EQ(Dump(Python, Dir / "ours.ini"), InSection("ComPort1", PortValues));
}

}  // namespace
