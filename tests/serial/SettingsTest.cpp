#include <gtest/gtest.h>

#include <functional>

#include "CPort.h"

namespace {

// Counts what the setters ask the port to apply.
class TCountingPort : public TComPort {
 public:
  int NLine = 0, NTimeouts = 0, NBuffers = 0;
  void ApplyLineSettings() override { ++NLine; TComPort::ApplyLineSettings(); }
  void ApplyTimeoutSettings() override { ++NTimeouts; TComPort::ApplyTimeoutSettings(); }
  void ApplyBufferSizes() override { ++NBuffers; TComPort::ApplyBufferSizes(); }
};

TEST(SettingsTest, NewPortHasTheDocumentedDefaults) {
  TComPort P;
  EXPECT_FALSE(P.Connected());
  EXPECT_EQ(P.BaudRate(), br9600);
  EXPECT_EQ(P.CustomBaudRate(), 9600);
  EXPECT_EQ(P.Port(), "COM1");
  EXPECT_EQ(P.StopBits(), sbOneStopBit);
  EXPECT_EQ(P.DataBits(), dbEight);
  EXPECT_FALSE(P.DiscardNull());
  EXPECT_EQ(P.EventChar(), 0);
  EXPECT_EQ(P.Events().ToBits(), 0x03FF);
  EXPECT_EQ(P.SyncMethod(), smThreadSync);
  EXPECT_EQ(P.Timeouts().ReadInterval(), -1);
  EXPECT_EQ(P.Timeouts().ReadTotalMultiplier(), 0);
  EXPECT_EQ(P.Timeouts().ReadTotalConstant(), 0);
  EXPECT_EQ(P.Timeouts().WriteTotalMultiplier(), 100);
  EXPECT_EQ(P.Timeouts().WriteTotalConstant(), 1000);
  EXPECT_EQ(P.FlowControl().FlowControl(), fcNone);
  EXPECT_EQ(P.FlowControl().ControlDTR(), dtrDisable);
  EXPECT_EQ(P.FlowControl().XonChar(), 17);
  EXPECT_EQ(P.FlowControl().XoffChar(), 19);
  EXPECT_EQ(P.Parity().Bits(), prNone);
  EXPECT_FALSE(P.Parity().Check());
  EXPECT_EQ(P.Buffer().InputSize(), 1024);
  EXPECT_EQ(P.Buffer().OutputSize(), 1024);
  EXPECT_EQ(P.Handle(), -1);
  EXPECT_EQ(P.Parity().ComPort(), &P);
}

TEST(SettingsTest, EnumerationOrdinalsAreFixed) {
  EXPECT_EQ(br256000, 15);
  EXPECT_EQ(sbTwoStopBits, 2);
  EXPECT_EQ(dbEight, 3);
  EXPECT_EQ(prSpace, 4);
  EXPECT_EQ(dtrHandshake, 2);
  EXPECT_EQ(rtsToggle, 3);
  EXPECT_EQ(fcCustom, 3);
  EXPECT_EQ(evRx80Full, 9);
  EXPECT_EQ(ceTxFull, 7);
  EXPECT_EQ(smNone, 2);
  EXPECT_EQ((TComErrors{ceFrame, ceTxFull}.ToBits()), 0x81);
  EXPECT_EQ(BaudRateValue(br110), 110);
  EXPECT_EQ(BaudRateValue(br14400), 14400);
  EXPECT_EQ(BaudRateValue(br256000), 256000);
  EXPECT_EQ(BaudRateValue(brCustom), 0);
}

TEST(SettingsTest, OnlyAChangedValueIsAppliedAndToItsOwnKind) {
  struct Case {
    const char* Name;
    std::function<void(TComPort&)> Set;
    int Line, Timeouts, Buffers;
  } Cases[] = {
      {"BaudRate", [](TComPort& P) { P.SetBaudRate(br19200); }, 1, 0, 0},
      {"BaudRate same", [](TComPort& P) { P.SetBaudRate(br9600); }, 0, 0, 0},
      {"CustomBaudRate", [](TComPort& P) { P.SetCustomBaudRate(31250); }, 1, 0, 0},
      {"StopBits", [](TComPort& P) { P.SetStopBits(sbTwoStopBits); }, 1, 0, 0},
      {"DataBits same", [](TComPort& P) { P.SetDataBits(dbEight); }, 0, 0, 0},
      {"DiscardNull", [](TComPort& P) { P.SetDiscardNull(true); }, 1, 0, 0},
      {"EventChar", [](TComPort& P) { P.SetEventChar('\r'); }, 1, 0, 0},
      {"Parity.Bits", [](TComPort& P) { P.Parity().SetBits(prEven); }, 1, 0, 0},
      {"Parity.Check same", [](TComPort& P) { P.Parity().SetCheck(false); }, 0, 0, 0},
      {"Parity.ReplaceChar", [](TComPort& P) { P.Parity().SetReplaceChar('?'); }, 1, 0, 0},
      {"FlowControl.XonChar", [](TComPort& P) { P.FlowControl().SetXonChar('A'); }, 1, 0, 0},
      {"FlowControl.OutDSRFlow same", [](TComPort& P) { P.FlowControl().SetOutDSRFlow(false); }, 0, 0, 0},
      {"preset always applies", [](TComPort& P) { P.FlowControl().SetFlowControl(fcNone); }, 1, 0, 0},
      {"preset custom applies", [](TComPort& P) { P.FlowControl().SetFlowControl(fcCustom); }, 1, 0, 0},
      {"Timeouts.ReadInterval", [](TComPort& P) { P.Timeouts().SetReadInterval(10); }, 0, 1, 0},
      {"Timeouts.WriteTotalConstant same", [](TComPort& P) { P.Timeouts().SetWriteTotalConstant(1000); }, 0, 0, 0},
      {"Buffer.InputSize", [](TComPort& P) { P.Buffer().SetInputSize(2048); }, 0, 0, 1},
      {"Buffer.OutputSize same", [](TComPort& P) { P.Buffer().SetOutputSize(1024); }, 0, 0, 0},
      {"Events stored only", [](TComPort& P) { P.SetEvents({evRxChar}); }, 0, 0, 0},
      {"Port on a closed port", [](TComPort& P) { P.SetPort("/dev/null-port"); }, 0, 0, 0},
  };
  for (const Case& C : Cases) {
    TCountingPort P;
    C.Set(P);
    EXPECT_EQ(P.NLine, C.Line) << C.Name;
    EXPECT_EQ(P.NTimeouts, C.Timeouts) << C.Name;
    EXPECT_EQ(P.NBuffers, C.Buffers) << C.Name;
    EXPECT_FALSE(P.Connected()) << C.Name;
  }
}

TEST(SettingsTest, OddBufferSizesAreLoweredAndDriveTheXonXoffLimits) {
  struct Case {
    int32_t Set, Stored;
  } Cases[] = {{1025, 1024}, {1, 0}, {0, 0}, {4096, 4096}, {-3, -3}, {2147483647, 2147483646}};
  for (const Case& C : Cases) {
    TComPort P;
    P.Buffer().SetInputSize(C.Set);
    P.Buffer().SetOutputSize(C.Set);
    EXPECT_EQ(P.Buffer().InputSize(), C.Stored) << C.Set;
    EXPECT_EQ(P.Buffer().OutputSize(), C.Stored) << C.Set;
  }
  TComPort P;
  P.Buffer().SetInputSize(1025);
  EXPECT_EQ(P.LineSettingsRecord().XonLim, 256);
  EXPECT_EQ(P.LineSettingsRecord().XoffLim, 256);
}

TEST(SettingsTest, FlowControlPresetsAreWrittenAndReadBack) {
  struct Case {
    TFlowControl Preset;
    TRTSFlowControl Rts;
    bool Cts, XIn, XOut;
  } Cases[] = {
      {fcHardware, rtsHandshake, true, false, false},
      {fcSoftware, rtsDisable, false, true, true},
      {fcNone, rtsDisable, false, false, false},
  };
  for (const Case& C : Cases) {
    TComPort P;
    P.FlowControl().SetControlRTS(rtsToggle);
    P.FlowControl().SetXonXoffIn(true);
    P.FlowControl().SetOutCTSFlow(true);
    P.FlowControl().SetControlDTR(dtrHandshake);
    P.FlowControl().SetOutDSRFlow(true);
    P.FlowControl().SetFlowControl(C.Preset);
    EXPECT_EQ(P.FlowControl().ControlRTS(), C.Rts);
    EXPECT_EQ(P.FlowControl().OutCTSFlow(), C.Cts);
    EXPECT_EQ(P.FlowControl().XonXoffIn(), C.XIn);
    EXPECT_EQ(P.FlowControl().XonXoffOut(), C.XOut);
    EXPECT_EQ(P.FlowControl().FlowControl(), C.Preset);
    // The preset never touches these.
    EXPECT_EQ(P.FlowControl().ControlDTR(), dtrHandshake);
    EXPECT_TRUE(P.FlowControl().OutDSRFlow());
    P.FlowControl().SetControlDTR(dtrEnable);
    EXPECT_EQ(P.FlowControl().FlowControl(), C.Preset);
  }

  TComPort P;
  P.FlowControl().SetFlowControl(fcHardware);
  P.FlowControl().SetFlowControl(fcCustom);
  EXPECT_EQ(P.FlowControl().FlowControl(), fcHardware);
  P.FlowControl().SetXonXoffOut(true);
  EXPECT_EQ(P.FlowControl().FlowControl(), fcCustom);
  P.FlowControl().SetFlowControl(fcNone);
  P.FlowControl().SetControlRTS(rtsEnable);
  EXPECT_EQ(P.FlowControl().FlowControl(), fcCustom);
}

TEST(SettingsTest, AssignCopiesEveryValueWithoutApplyingWhileThePortSetterApplies) {
  TComParity Parity;
  Parity.SetBits(prMark);
  Parity.SetCheck(true);
  Parity.SetReplace(true);
  Parity.SetReplaceChar('#');
  TComTimeouts Timeouts;
  Timeouts.SetReadInterval(5);
  Timeouts.SetWriteTotalConstant(7);
  TComFlowControl Flow;
  Flow.SetFlowControl(fcSoftware);
  Flow.SetXoffChar('S');
  TComBuffer Buffer;
  Buffer.SetInputSize(99);

  TCountingPort P;
  P.Parity().Assign(Parity);
  P.Timeouts().Assign(Timeouts);
  EXPECT_EQ(P.NLine + P.NTimeouts + P.NBuffers, 0);
  EXPECT_EQ(P.Parity().Bits(), prMark);
  EXPECT_TRUE(P.Parity().Replace());
  EXPECT_EQ(P.Parity().ReplaceChar(), '#');
  EXPECT_EQ(P.Timeouts().ReadInterval(), 5);
  EXPECT_EQ(P.Timeouts().WriteTotalConstant(), 7);
  EXPECT_EQ(P.Parity().ComPort(), &P);

  P.SetFlowControl(Flow);
  P.SetBuffer(Buffer);
  P.SetTimeouts(Timeouts);
  P.SetParity(Parity);
  EXPECT_EQ(P.NLine, 2);
  EXPECT_EQ(P.NTimeouts, 1);
  EXPECT_EQ(P.NBuffers, 1);
  EXPECT_EQ(P.FlowControl().FlowControl(), fcSoftware);
  EXPECT_EQ(P.FlowControl().XoffChar(), 'S');
  EXPECT_EQ(P.Buffer().InputSize(), 98);
}

TEST(SettingsTest, LineSettingsRecordIsBuiltFromScratch) {
  TComPort P;
  TDCB D = P.LineSettingsRecord();
  EXPECT_EQ(D.DCBlength, 28u);
  EXPECT_EQ(D.BaudRate, 9600u);
  EXPECT_TRUE(D.fBinary);
  EXPECT_FALSE(D.fParity);
  EXPECT_FALSE(D.fErrorChar);
  EXPECT_EQ(D.ByteSize, 8);
  EXPECT_EQ(D.Parity, 0);
  EXPECT_EQ(D.StopBits, 0);
  EXPECT_EQ(D.XonChar, 17);
  EXPECT_EQ(D.XoffChar, 19);
  EXPECT_EQ(D.XonLim, 256);

  P.SetBaudRate(brCustom);
  P.SetCustomBaudRate(31250);
  P.SetDataBits(dbFive);
  P.SetStopBits(sbOne5StopBits);
  P.Parity().SetBits(prSpace);
  P.Parity().SetReplace(true);
  P.Parity().SetReplaceChar('?');
  P.SetDiscardNull(true);
  P.SetEventChar('\n');
  P.FlowControl().SetFlowControl(fcHardware);
  P.FlowControl().SetControlDTR(dtrHandshake);
  P.FlowControl().SetDSRSensitivity(true);
  P.FlowControl().SetTxContinueOnXoff(true);
  D = P.LineSettingsRecord();
  EXPECT_EQ(D.BaudRate, 31250u);
  EXPECT_EQ(D.ByteSize, 5);
  EXPECT_EQ(D.StopBits, 1);
  EXPECT_EQ(D.Parity, 4);
  // Replacement only with checking on.
  EXPECT_FALSE(D.fErrorChar);
  EXPECT_EQ(D.ErrorChar, 0);
  P.Parity().SetCheck(true);
  D = P.LineSettingsRecord();
  EXPECT_TRUE(D.fParity);
  EXPECT_TRUE(D.fErrorChar);
  EXPECT_EQ(D.ErrorChar, '?');
  EXPECT_TRUE(D.fNull);
  EXPECT_EQ(D.EvtChar, '\n');
  EXPECT_TRUE(D.fOutxCtsFlow);
  EXPECT_EQ(D.fRtsControl, 2);
  EXPECT_EQ(D.fDtrControl, 2);
  EXPECT_TRUE(D.fDsrSensitivity);
  EXPECT_TRUE(D.fTXContinueOnXoff);
  EXPECT_FALSE(D.fAbortOnError);
  EXPECT_FALSE(D.fOutX);
  P.SetBaudRate(br128000);
  EXPECT_EQ(P.LineSettingsRecord().BaudRate, 128000u);
}

TEST(SettingsTest, SyncMethodIsStoredWhileClosed) {
  TComPort P;
  P.SetSyncMethod(smNone);
  EXPECT_EQ(P.SyncMethod(), smNone);
}

TEST(SettingsTest, WhileLoadingSettersOnlyStore) {
  TCountingPort P;
  P.BeginLoading();
  P.SetConnected(true);
  P.SetPort("varo-no-such-port");  // missing on every system, so the code is 2 on each
  EXPECT_TRUE(P.Connected());
  EXPECT_EQ(P.Handle(), -1);
  std::string Shown;
  SetComErrorDisplay([&](const std::exception& E) { Shown = E.what(); });
  P.Loaded();
  SetComErrorDisplay(nullptr);
  // The stored open fails: shown, not raised, and the port stays closed.
  EXPECT_EQ(Shown, "Unable to open com port (win error code: 2)");
  EXPECT_FALSE(P.Connected());
  EXPECT_FALSE(P.Loading());
}

}  // namespace
