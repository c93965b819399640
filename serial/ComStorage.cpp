// Storing the port's settings in an ini section or a registry key and loading them back.
#include "CPort.h"

namespace {

// One stored value: its name, group, and how it is read from and assigned to the port.
// A value is either text (Text/SetText) or an integer (Number/SetNumber).
struct TStoredValue {
  const char* Name;
  TSettingsGroup Group;
  std::string (*Text)(const TCustomComPort&);
  void (*SetText)(TCustomComPort&, const std::string&);
  int32_t (*Number)(const TCustomComPort&);
  void (*SetNumber)(TCustomComPort&, int32_t);
  // Stored only with BaudRate brCustom; an ini file without it gives CustomBaudRateDefault.
  bool OnlyForCustomRate = false;
};

using P = TCustomComPort;

constexpr int32_t CustomBaudRateDefault = 9600;

// Groups in the order sgLine, sgOther, sgParityDetails, sgBuffer, sgTimeouts, sgFlowDetails.
const TStoredValue StoredValues[] = {
    {"Port", sgLine, [](const P& C) { return C.Port(); }, [](P& C, const std::string& T) { C.SetPort(T); },
     nullptr, nullptr},
    {"BaudRate", sgLine, [](const P& C) { return BaudRateText(C.BaudRate()); },
     [](P& C, const std::string& T) { C.SetBaudRate(BaudRateFromText(T)); }, nullptr, nullptr},
    {"CustomBaudRate", sgLine, nullptr, nullptr, [](const P& C) { return C.CustomBaudRate(); },
     [](P& C, int32_t N) { C.SetCustomBaudRate(N); }, true},
    {"StopBits", sgLine, [](const P& C) { return StopBitsText(C.StopBits()); },
     [](P& C, const std::string& T) { C.SetStopBits(StopBitsFromText(T)); }, nullptr, nullptr},
    {"DataBits", sgLine, [](const P& C) { return DataBitsText(C.DataBits()); },
     [](P& C, const std::string& T) { C.SetDataBits(DataBitsFromText(T)); }, nullptr, nullptr},
    {"Parity", sgLine, [](const P& C) { return ParityText(C.Parity().Bits()); },
     [](P& C, const std::string& T) { C.Parity().SetBits(ParityFromText(T)); }, nullptr, nullptr},
    {"FlowControl", sgLine, [](const P& C) { return FlowControlText(C.FlowControl().FlowControl()); },
     [](P& C, const std::string& T) { C.FlowControl().SetFlowControl(FlowControlFromText(T)); }, nullptr,
     nullptr},

    {"EventChar", sgOther, [](const P& C) { return CharText(C.EventChar()); },
     [](P& C, const std::string& T) { C.SetEventChar(CharFromText(T)); }, nullptr, nullptr},
    {"DiscardNull", sgOther, [](const P& C) { return BoolText(C.DiscardNull()); },
     [](P& C, const std::string& T) { C.SetDiscardNull(BoolFromText(T)); }, nullptr, nullptr},

    {"Parity.Check", sgParityDetails, [](const P& C) { return BoolText(C.Parity().Check()); },
     [](P& C, const std::string& T) { C.Parity().SetCheck(BoolFromText(T)); }, nullptr, nullptr},
    {"Parity.Replace", sgParityDetails, [](const P& C) { return BoolText(C.Parity().Replace()); },
     [](P& C, const std::string& T) { C.Parity().SetReplace(BoolFromText(T)); }, nullptr, nullptr},
    {"Parity.ReplaceChar", sgParityDetails, [](const P& C) { return CharText(C.Parity().ReplaceChar()); },
     [](P& C, const std::string& T) { C.Parity().SetReplaceChar(CharFromText(T)); }, nullptr, nullptr},

    {"Buffer.OutputSize", sgBuffer, nullptr, nullptr, [](const P& C) { return C.Buffer().OutputSize(); },
     [](P& C, int32_t N) { C.Buffer().SetOutputSize(N); }},
    {"Buffer.InputSize", sgBuffer, nullptr, nullptr, [](const P& C) { return C.Buffer().InputSize(); },
     [](P& C, int32_t N) { C.Buffer().SetInputSize(N); }},

    {"Timeouts.ReadInterval", sgTimeouts, nullptr, nullptr,
     [](const P& C) { return C.Timeouts().ReadInterval(); }, [](P& C, int32_t N) { C.Timeouts().SetReadInterval(N); }},
    {"Timeouts.ReadTotalConstant", sgTimeouts, nullptr, nullptr,
     [](const P& C) { return C.Timeouts().ReadTotalConstant(); },
     [](P& C, int32_t N) { C.Timeouts().SetReadTotalConstant(N); }},
    {"Timeouts.ReadTotalMultiplier", sgTimeouts, nullptr, nullptr,
     [](const P& C) { return C.Timeouts().ReadTotalMultiplier(); },
     [](P& C, int32_t N) { C.Timeouts().SetReadTotalMultiplier(N); }},
    {"Timeouts.WriteTotalConstant", sgTimeouts, nullptr, nullptr,
     [](const P& C) { return C.Timeouts().WriteTotalConstant(); },
     [](P& C, int32_t N) { C.Timeouts().SetWriteTotalConstant(N); }},
    {"Timeouts.WriteTotalMultiplier", sgTimeouts, nullptr, nullptr,
     [](const P& C) { return C.Timeouts().WriteTotalMultiplier(); },
     [](P& C, int32_t N) { C.Timeouts().SetWriteTotalMultiplier(N); }},

    {"FlowControl.ControlRTS", sgFlowDetails, [](const P& C) { return RTSText(C.FlowControl().ControlRTS()); },
     [](P& C, const std::string& T) { C.FlowControl().SetControlRTS(RTSFromText(T)); }, nullptr, nullptr},
    {"FlowControl.ControlDTR", sgFlowDetails, [](const P& C) { return DTRText(C.FlowControl().ControlDTR()); },
     [](P& C, const std::string& T) { C.FlowControl().SetControlDTR(DTRFromText(T)); }, nullptr, nullptr},
    {"FlowControl.DSRSensitivity", sgFlowDetails,
     [](const P& C) { return BoolText(C.FlowControl().DSRSensitivity()); },
     [](P& C, const std::string& T) { C.FlowControl().SetDSRSensitivity(BoolFromText(T)); }, nullptr, nullptr},
    {"FlowControl.OutCTSFlow", sgFlowDetails, [](const P& C) { return BoolText(C.FlowControl().OutCTSFlow()); },
     [](P& C, const std::string& T) { C.FlowControl().SetOutCTSFlow(BoolFromText(T)); }, nullptr, nullptr},
    {"FlowControl.OutDSRFlow", sgFlowDetails, [](const P& C) { return BoolText(C.FlowControl().OutDSRFlow()); },
     [](P& C, const std::string& T) { C.FlowControl().SetOutDSRFlow(BoolFromText(T)); }, nullptr, nullptr},
    {"FlowControl.TxContinueOnXoff", sgFlowDetails,
     [](const P& C) { return BoolText(C.FlowControl().TxContinueOnXoff()); },
     [](P& C, const std::string& T) { C.FlowControl().SetTxContinueOnXoff(BoolFromText(T)); }, nullptr, nullptr},
    {"FlowControl.XonXoffIn", sgFlowDetails, [](const P& C) { return BoolText(C.FlowControl().XonXoffIn()); },
     [](P& C, const std::string& T) { C.FlowControl().SetXonXoffIn(BoolFromText(T)); }, nullptr, nullptr},
    {"FlowControl.XonXoffOut", sgFlowDetails, [](const P& C) { return BoolText(C.FlowControl().XonXoffOut()); },
     [](P& C, const std::string& T) { C.FlowControl().SetXonXoffOut(BoolFromText(T)); }, nullptr, nullptr},
    {"FlowControl.XoffChar", sgFlowDetails, [](const P& C) { return CharText(C.FlowControl().XoffChar()); },
     [](P& C, const std::string& T) { C.FlowControl().SetXoffChar(CharFromText(T)); }, nullptr, nullptr},
    {"FlowControl.XonChar", sgFlowDetails, [](const P& C) { return CharText(C.FlowControl().XonChar()); },
     [](P& C, const std::string& T) { C.FlowControl().SetXonChar(CharFromText(T)); }, nullptr, nullptr},
};

const TSettingsGroup GroupOrder[] = {sgLine, sgOther, sgParityDetails, sgBuffer, sgTimeouts, sgFlowDetails};

// Where the values go: an ini section or a registry key.
class TTarget {
 public:
  virtual ~TTarget() = default;
  virtual void WriteText(const std::string& Name, const std::string& Value) = 0;
  virtual void WriteNumber(const std::string& Name, int32_t Value) = 0;
  virtual std::string ReadText(const std::string& Name, const std::string& Present) = 0;
  virtual int32_t ReadNumber(const std::string& Name, int32_t Present) = 0;
};

class TIniTarget : public TTarget {
 public:
  TIniTarget(TCustomIniFile& Ini, const std::string& Section) : FIni(Ini), FSection(Section) {}
  void WriteText(const std::string& Name, const std::string& Value) override {
    FIni.WriteString(FSection, Name, Value);
  }
  void WriteNumber(const std::string& Name, int32_t Value) override { FIni.WriteInteger(FSection, Name, Value); }
  // A missing value reads as the present setting, so it leaves the setting as it is.
  std::string ReadText(const std::string& Name, const std::string& Present) override {
    return FIni.ReadString(FSection, Name, Present);
  }
  int32_t ReadNumber(const std::string& Name, int32_t Present) override {
    return FIni.ReadInteger(FSection, Name, Present);
  }

 private:
  TCustomIniFile& FIni;
  const std::string FSection;
};

class TRegistryTarget : public TTarget {
 public:
  explicit TRegistryTarget(TCustomRegistry& Registry) : FRegistry(Registry) {}
  void WriteText(const std::string& Name, const std::string& Value) override { FRegistry.WriteString(Name, Value); }
  void WriteNumber(const std::string& Name, int32_t Value) override { FRegistry.WriteInteger(Name, Value); }
  // A key has no defaults: a missing text reads as "", a missing integer fails in the key.
  std::string ReadText(const std::string& Name, const std::string&) override { return FRegistry.ReadString(Name); }
  int32_t ReadNumber(const std::string& Name, int32_t) override { return FRegistry.ReadInteger(Name); }

 private:
  TCustomRegistry& FRegistry;
};

bool Included(const TStoredValue& V, const TCustomComPort& Port) {
  return !V.OnlyForCustomRate || Port.BaudRate() == brCustom;
}

void Store(const TCustomComPort& Port, TTarget& Target) {
  for (TSettingsGroup Group : GroupOrder) {
    if (!Port.StoredGroups().Contains(Group)) continue;
    for (const TStoredValue& V : StoredValues) {
      if (V.Group != Group || !Included(V, Port)) continue;
      if (V.Text)
        Target.WriteText(V.Name, V.Text(Port));
      else
        Target.WriteNumber(V.Name, V.Number(Port));
    }
  }
}

void Load(TCustomComPort& Port, TTarget& Target) {
  for (TSettingsGroup Group : GroupOrder) {
    if (!Port.StoredGroups().Contains(Group)) continue;
    for (const TStoredValue& V : StoredValues) {
      // Whether CustomBaudRate is read depends on the BaudRate assigned just before it.
      if (V.Group != Group || !Included(V, Port)) continue;
      if (V.Text) {
        V.SetText(Port, Target.ReadText(V.Name, V.Text(Port)));
      } else {
        V.SetNumber(Port, Target.ReadNumber(V.Name, V.OnlyForCustomRate ? CustomBaudRateDefault : V.Number(Port)));
      }
    }
  }
}

}  // namespace

void TCustomComPort::SaveToRegistryKey(TCustomRegistry& Registry) {
  TRegistryTarget Target(Registry);
  Store(*this, Target);
}

void TCustomComPort::SaveToIniSection(TCustomIniFile& IniFile) {
  TIniTarget Target(IniFile, Name());
  Store(*this, Target);
}

void TCustomComPort::LoadFromRegistryKey(TCustomRegistry& Registry) {
  TRegistryTarget Target(Registry);
  Load(*this, Target);
}

void TCustomComPort::LoadFromIniSection(TCustomIniFile& IniFile) {
  TIniTarget Target(IniFile, Name());
  Load(*this, Target);
}
