#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "CPort.h"
#include "ComStore.h"
#include "SettingsTestSupport.h"

namespace {

using Log = std::vector<std::string>;

// Stores in memory that log every operation; an operation on FailAt throws.
struct TLogStore {
  std::map<std::string, std::string> Values;
  std::set<std::string> Numbers;  // names written as integers
  Log Operations;
  std::string FailAt;
  void Check(const std::string& Name) {
    if (Name == FailAt) throw std::runtime_error("store refuses " + Name);
  }
  void Put(const char* Kind, const std::string& Name, const std::string& Value) {
    Check(Name);
    Operations.push_back(std::string(Kind) + " " + Name + "=" + Value);
    Values[Name] = Value;
  }
  bool Get(const std::string& Name, const std::string& Default, std::string& Value) {
    Check(Name);
    Operations.push_back("read " + Name + " [" + Default + "]");
    auto It = Values.find(Name);
    Value = It == Values.end() ? Default : It->second;
    return It != Values.end();
  }
};

class TLogIni : public TCustomIniFile, public TLogStore {
 public:
  std::set<std::string> Sections;
  void WriteString(const std::string& S, const std::string& I, const std::string& V) override {
    Sections.insert(S);
    Put("S", I, V);
  }
  void WriteInteger(const std::string& S, const std::string& I, int32_t V) override {
    Sections.insert(S);
    Put("I", I, std::to_string(V));
  }
  std::string ReadString(const std::string& S, const std::string& I, const std::string& D) override {
    Sections.insert(S);
    std::string V;
    Get(I, D, V);
    return V;
  }
  int32_t ReadInteger(const std::string& S, const std::string& I, int32_t D) override {
    Sections.insert(S);
    std::string V;
    return Get(I, std::to_string(D), V) ? std::stoi(V) : D;
  }
};

class TLogRegistry : public TCustomRegistry, public TLogStore {
 public:
  void WriteString(const std::string& N, const std::string& V) override { Put("S", N, V); }
  void WriteInteger(const std::string& N, int32_t V) override { Put("I", N, std::to_string(V)); }
  std::string ReadString(const std::string& N) override {
    std::string V;
    Get(N, "", V);
    return V;
  }
  int32_t ReadInteger(const std::string& N) override {
    std::string V;
    if (!Get(N, "", V)) throw std::runtime_error("missing " + N);
    return std::stoi(V);
  }
};

// A port that logs what its setters ask it to apply into a store's log.
class TLogPort : public TComPort {
 public:
  Log* Out = nullptr;
  void ApplyLineSettings() override { Note("apply line"); }
  void ApplyTimeoutSettings() override { Note("apply timeouts"); }
  void ApplyBufferSizes() override { Note("apply buffers"); }

 private:
  void Note(const char* What) {
    if (Out) Out->push_back(What);
  }
};

const TSettingsGroups AllGroups{sgLine, sgFlowDetails, sgBuffer, sgTimeouts, sgParityDetails, sgOther};

// Every value differs from a new port's.
void SetEverything(TCustomComPort& P) {
  P.SetName("ComPort1");
  P.SetStoredGroups(AllGroups);
  P.SetPort("/dev/ttyUSB0");
  P.SetBaudRate(brCustom);
  P.SetCustomBaudRate(31250);
  P.SetStopBits(sbTwoStopBits);
  P.SetDataBits(dbSeven);
  P.Parity().SetBits(prMark);
  P.SetEventChar('\r');
  P.SetDiscardNull(true);
  P.Parity().SetCheck(true);
  P.Parity().SetReplaceChar('?');
  P.Buffer().SetOutputSize(2048);
  P.Buffer().SetInputSize(4096);
  P.Timeouts().SetReadInterval(10);
  P.Timeouts().SetReadTotalConstant(20);
  P.Timeouts().SetReadTotalMultiplier(30);
  P.Timeouts().SetWriteTotalConstant(40);
  P.Timeouts().SetWriteTotalMultiplier(50);
  P.FlowControl().SetControlRTS(rtsHandshake);
  P.FlowControl().SetOutCTSFlow(true);
  P.FlowControl().SetControlDTR(dtrEnable);
  P.FlowControl().SetDSRSensitivity(true);
  P.FlowControl().SetTxContinueOnXoff(true);
  P.FlowControl().SetXonChar('Q');
}

const Log EverythingWritten = {
    "S Port=/dev/ttyUSB0", "S BaudRate=Custom", "I CustomBaudRate=31250", "S StopBits=2", "S DataBits=7",
    "S Parity=Mark", "S FlowControl=Hardware", "S EventChar=#13", "S DiscardNull=Yes", "S Parity.Check=Yes",
    "S Parity.Replace=No", "S Parity.ReplaceChar=?", "I Buffer.OutputSize=2048", "I Buffer.InputSize=4096",
    "I Timeouts.ReadInterval=10", "I Timeouts.ReadTotalConstant=20", "I Timeouts.ReadTotalMultiplier=30",
    "I Timeouts.WriteTotalConstant=40", "I Timeouts.WriteTotalMultiplier=50", "S FlowControl.ControlRTS=Handshake",
    "S FlowControl.ControlDTR=Enable", "S FlowControl.DSRSensitivity=Yes", "S FlowControl.OutCTSFlow=Yes",
    "S FlowControl.OutDSRFlow=No", "S FlowControl.TxContinueOnXoff=Yes", "S FlowControl.XonXoffIn=No",
    "S FlowControl.XonXoffOut=No", "S FlowControl.XoffChar=#19", "S FlowControl.XonChar=Q"};

TEST(StorageTest, SaveWritesEveryStoredValueInOrderAndLoadRestoresThem) {
  TComPort P;
  SetEverything(P);
  TLogIni Ini;
  TLogRegistry Reg;
  P.SaveToIniSection(Ini);
  P.SaveToRegistryKey(Reg);
  EXPECT_EQ(Ini.Operations, EverythingWritten);
  EXPECT_EQ(Ini.Sections, std::set<std::string>{"ComPort1"});
  EXPECT_EQ(Reg.Operations, EverythingWritten);

  for (TLogStore* Store : {static_cast<TLogStore*>(&Ini), static_cast<TLogStore*>(&Reg)}) {
    TComPort Q;
    Q.SetName("ComPort1");
    Q.SetStoredGroups(AllGroups);
    if (Store == &Ini)
      Q.LoadFromIniSection(Ini);
    else
      Q.LoadFromRegistryKey(Reg);
    TLogRegistry Again;
    Q.SaveToRegistryKey(Again);
    EXPECT_EQ(Again.Operations, EverythingWritten);
  }
}

TEST(StorageTest, EachGroupCoversItsOwnValues) {
  struct Case {
    TSettingsGroup Group;
    std::string Names;
  } Cases[] = {
      {sgLine, "Port BaudRate CustomBaudRate StopBits DataBits Parity FlowControl"},
      {sgOther, "EventChar DiscardNull"},
      {sgParityDetails, "Parity.Check Parity.Replace Parity.ReplaceChar"},
      {sgBuffer, "Buffer.OutputSize Buffer.InputSize"},
      {sgTimeouts, "Timeouts.ReadInterval Timeouts.ReadTotalConstant Timeouts.ReadTotalMultiplier "
                   "Timeouts.WriteTotalConstant Timeouts.WriteTotalMultiplier"},
      {sgFlowDetails, "FlowControl.ControlRTS FlowControl.ControlDTR FlowControl.DSRSensitivity "
                      "FlowControl.OutCTSFlow FlowControl.OutDSRFlow FlowControl.TxContinueOnXoff "
                      "FlowControl.XonXoffIn FlowControl.XonXoffOut FlowControl.XoffChar FlowControl.XonChar"},
  };
  for (const Case& C : Cases) {
    TComPort P;
    SetEverything(P);
    P.SetStoredGroups({C.Group});
    TLogRegistry Reg;
    P.SaveToRegistryKey(Reg);
    std::string Names;
    for (const std::string& Op : Reg.Operations) Names += (Names.empty() ? "" : " ") + Op.substr(2, Op.find('=') - 2);
    EXPECT_EQ(Names, C.Names) << int(C.Group);
  }
}

TEST(StorageTest, LineGroupOfAStandardRateHasNoCustomRate) {
  TComPort P;
  P.SetBaudRate(br19200);
  TLogIni Ini;
  P.SaveToIniSection(Ini);
  EXPECT_EQ(Ini.Operations, (Log{"S Port=COM1", "S BaudRate=19200", "S StopBits=1", "S DataBits=8", "S Parity=None",
                                 "S FlowControl=None"}));
}

TEST(StorageTest, NoStoredGroupsWritesAndChangesNothing) {
  TComPort P;
  SetEverything(P);
  P.SetStoredGroups({});
  TLogIni Ini;
  TLogRegistry Reg;
  P.SaveToIniSection(Ini);
  P.SaveToRegistryKey(Reg);
  EXPECT_TRUE(Ini.Operations.empty());
  EXPECT_TRUE(Reg.Operations.empty());

  TComPort Q;
  Q.SetStoredGroups(AllGroups);
  Q.SaveToRegistryKey(Reg);
  Q.SaveToIniSection(Ini);
  const size_t Written = Reg.Operations.size();
  P.LoadFromRegistryKey(Reg);
  P.LoadFromIniSection(Ini);
  EXPECT_EQ(Reg.Operations.size(), Written);
  EXPECT_EQ(Ini.Operations.size(), Written);
  TLogRegistry After;
  P.SetStoredGroups(AllGroups);
  P.SaveToRegistryKey(After);
  EXPECT_EQ(After.Operations, EverythingWritten);
}

TEST(StorageTest, LoadAssignsEachValueBeforeReadingTheNext) {
  TComPort Source;
  SetEverything(Source);
  TLogIni Ini;
  Source.SaveToIniSection(Ini);
  Ini.Operations.clear();

  TLogPort P;
  P.SetName("ComPort1");
  P.SetStoredGroups(AllGroups);
  P.Out = &Ini.Operations;
  P.LoadFromIniSection(Ini);
  // Values equal to what the port holds by then are stored without being applied.
  const std::set<std::string> Unchanged = {"Port", "Parity.Replace", "FlowControl.ControlRTS",
                                           "FlowControl.OutCTSFlow", "FlowControl.OutDSRFlow",
                                           "FlowControl.XonXoffIn", "FlowControl.XonXoffOut", "FlowControl.XoffChar"};
  Log Expected;
  for (const std::string& W : EverythingWritten) {
    const std::string Name = W.substr(2, W.find('=') - 2);
    Expected.push_back("read " + Name);
    if (Unchanged.count(Name)) continue;
    Expected.push_back(Name.rfind("Buffer.", 0) == 0     ? "apply buffers"
                       : Name.rfind("Timeouts.", 0) == 0 ? "apply timeouts"
                                                         : "apply line");
  }
  Log Got;
  for (const std::string& Op : Ini.Operations) Got.push_back(Op.substr(0, Op.find(" [")));
  EXPECT_EQ(Got, Expected);
  EXPECT_EQ(Ini.Operations[0], "read Port [COM1]");
  EXPECT_EQ(Ini.Operations[3], "read CustomBaudRate [9600]");
  EXPECT_EQ(Ini.Operations[5], "read StopBits [1]");
}

TEST(StorageTest, IniLoadOfTheRate) {
  struct Case {
    std::map<std::string, std::string> Values;
    TBaudRate Rate;
    int32_t CustomRate;
  } Cases[] = {
      {{{"BaudRate", "custom"}, {"CustomBaudRate", "31250"}}, brCustom, 31250},
      {{{"BaudRate", "CUSTOM"}}, brCustom, 9600},
      {{{"BaudRate", "fast"}, {"CustomBaudRate", "31250"}}, br9600, 4800},
      {{{"BaudRate", " 19200"}}, br9600, 4800},
      {{}, br19200, 4800},
  };
  for (const Case& C : Cases) {
    TComPort P;
    P.SetBaudRate(br19200);
    P.SetCustomBaudRate(4800);
    TLogIni Ini;
    Ini.Values = C.Values;
    P.LoadFromIniSection(Ini);
    EXPECT_EQ(P.BaudRate(), C.Rate);
    EXPECT_EQ(P.CustomBaudRate(), C.CustomRate);
  }
}

TEST(StorageTest, FlowControlDetailsOverrideThePreset) {
  TLogIni Ini;
  Ini.Values = {{"FlowControl", "Hardware"}, {"FlowControl.ControlRTS", "Enable"}, {"FlowControl.OutCTSFlow", "No"},
                {"FlowControl.XonXoffOut", "Yes"}};
  TComPort P;
  P.FlowControl().SetOutDSRFlow(true);
  P.SetStoredGroups({sgLine, sgFlowDetails});
  P.LoadFromIniSection(Ini);
  EXPECT_EQ(P.FlowControl().ControlRTS(), rtsEnable);
  EXPECT_FALSE(P.FlowControl().OutCTSFlow());
  EXPECT_TRUE(P.FlowControl().XonXoffOut());
  EXPECT_TRUE(P.FlowControl().OutDSRFlow());  // missing from the section: left as it was

  TComPort Q;  // the preset alone
  Q.LoadFromIniSection(Ini);
  EXPECT_EQ(Q.FlowControl().FlowControl(), fcHardware);

  for (const char* Preset : {"Custom", "bogus"}) {
    TComPort R;
    R.FlowControl().SetControlRTS(rtsToggle);
    R.FlowControl().SetXonXoffIn(true);
    Ini.Values = {{"FlowControl", Preset}};
    R.LoadFromIniSection(Ini);
    EXPECT_EQ(R.FlowControl().ControlRTS(), rtsToggle) << Preset;
    EXPECT_TRUE(R.FlowControl().XonXoffIn()) << Preset;
  }
}

TEST(StorageTest, StoreErrorsEndTheOperationAtThatValue) {
  TComPort P;
  SetEverything(P);
  TLogIni Ini;
  Ini.FailAt = "Parity";
  EXPECT_THROW(P.SaveToIniSection(Ini), std::runtime_error);
  EXPECT_EQ(Ini.Operations, Log(EverythingWritten.begin(), EverythingWritten.begin() + 5));

  Ini.Values = {{"BaudRate", "19200"}, {"DataBits", "5"}, {"Parity", "Odd"}};
  TComPort Q;
  EXPECT_THROW(Q.LoadFromIniSection(Ini), std::runtime_error);
  EXPECT_EQ(Q.BaudRate(), br19200);
  EXPECT_EQ(Q.DataBits(), dbFive);
  EXPECT_EQ(Q.Parity().Bits(), prNone);
}

TEST(StorageTest, RegistryLoadHasNoDefaults) {
  TTempDir Dir;
  TRegistryFile Empty(Dir / "empty.reg");
  TComPort P;
  SetEverything(P);
  P.SetStoredGroups({sgLine, sgOther, sgParityDetails});
  P.LoadFromRegistryKey(Empty);
  EXPECT_EQ(P.Port(), "");
  EXPECT_EQ(P.BaudRate(), br9600);
  EXPECT_EQ(P.StopBits(), sbOneStopBit);
  EXPECT_EQ(P.DataBits(), dbEight);
  EXPECT_EQ(P.Parity().Bits(), prNone);
  EXPECT_EQ(P.FlowControl().FlowControl(), fcHardware);  // "" reads as Custom: no change
  EXPECT_EQ(P.EventChar(), 0);
  EXPECT_FALSE(P.DiscardNull());
  EXPECT_FALSE(P.Parity().Check());
  EXPECT_EQ(P.Parity().ReplaceChar(), 0);
}

TEST(StorageTest, RegistryLoadStopsAtAMissingOrMistypedValue) {
  struct Case {
    std::string File;
    std::string Error;
  } Cases[] = {
      {"\"BaudRate\"=\"Custom\"\n", "Failed to get data for 'CustomBaudRate'"},
      {"\"BaudRate\"=dword:00004b00\n", "Invalid data type for 'BaudRate'"},
      {"\"BaudRate\"=\"Custom\"\n\"CustomBaudRate\"=\"31250\"\n", "Invalid data type for 'CustomBaudRate'"},
      {"\"BaudRate\"=\"Custom\"\n\"CustomBaudRate\"=qword:7a12\n", "Failed to get data for 'CustomBaudRate'"},
      {"\"BaudRate\"=\"19200\"\n\"Buffer.OutputSize\"=dword:800\n", "Failed to get data for 'Buffer.InputSize'"},
  };
  for (const Case& C : Cases) {
    TTempDir Dir;
    WriteFile(Dir / "key.reg", "\"Port\"=\"NEW\"\n" + C.File);
    TRegistryFile Reg(Dir / "key.reg");
    TComPort P;
    P.SetStoredGroups({sgLine, sgBuffer});
    EXPECT_EQ(MessageOf<ERegistryException>([&] { P.LoadFromRegistryKey(Reg); }), C.Error);
    EXPECT_EQ(P.Port(), "NEW");  // assigned before the failing value
  }
}

}  // namespace
