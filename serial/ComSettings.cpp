// Settings groups, the port's setters and the line-settings record built from them.

#include "CPort.h"

int32_t BaudRateValue(TBaudRate Rate) {
  static const int32_t Rates[] = {0,     110,   300,   600,   1200,   2400,   4800,   9600,
                                  14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
  return static_cast<size_t>(Rate) < sizeof Rates / sizeof Rates[0] ? Rates[Rate] : 0;
}

// --- TComTimeouts

void TComTimeouts::Assign(const TComTimeouts& Source) {
  FReadInterval = Source.FReadInterval;
  FReadTotalMultiplier = Source.FReadTotalMultiplier;
  FReadTotalConstant = Source.FReadTotalConstant;
  FWriteTotalMultiplier = Source.FWriteTotalMultiplier;
  FWriteTotalConstant = Source.FWriteTotalConstant;
}

void TComTimeouts::Apply() { FComPort->ApplyTimeoutSettings(); }

// --- TComFlowControl

void TComFlowControl::Assign(const TComFlowControl& Source) {
  FOutCTSFlow = Source.FOutCTSFlow;
  FOutDSRFlow = Source.FOutDSRFlow;
  FControlDTR = Source.FControlDTR;
  FControlRTS = Source.FControlRTS;
  FXonXoffOut = Source.FXonXoffOut;
  FXonXoffIn = Source.FXonXoffIn;
  FDSRSensitivity = Source.FDSRSensitivity;
  FTxContinueOnXoff = Source.FTxContinueOnXoff;
  FXonChar = Source.FXonChar;
  FXoffChar = Source.FXoffChar;
}

void TComFlowControl::Apply() { FComPort->ApplyLineSettings(); }

TFlowControl TComFlowControl::FlowControl() const {
  if (FControlRTS == rtsHandshake && FOutCTSFlow && !FXonXoffIn && !FXonXoffOut) return fcHardware;
  if (FControlRTS == rtsDisable && !FOutCTSFlow && FXonXoffIn && FXonXoffOut) return fcSoftware;
  if (FControlRTS == rtsDisable && !FOutCTSFlow && !FXonXoffIn && !FXonXoffOut) return fcNone;
  return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl Value) {
  // The preset is not stored, so a value out of range is refused here, before it changes anything.
  if (Value > fcCustom) throw EComPort(CError_SetStateFailed, SystemCode(TSystemCode::InvalidValue));
  if (Value != fcCustom) {
    FControlRTS = rtsDisable;
    FOutCTSFlow = false;
    FXonXoffIn = false;
    FXonXoffOut = false;
    if (Value == fcHardware) {
      FControlRTS = rtsHandshake;
      FOutCTSFlow = true;
    } else if (Value == fcSoftware) {
      FXonXoffIn = true;
      FXonXoffOut = true;
    }
  }
  if (FComPort) Apply();
}

// --- TComParity

void TComParity::Assign(const TComParity& Source) {
  FBits = Source.FBits;
  FCheck = Source.FCheck;
  FReplace = Source.FReplace;
  FReplaceChar = Source.FReplaceChar;
}

void TComParity::Apply() { FComPort->ApplyLineSettings(); }

// --- TComBuffer

void TComBuffer::Assign(const TComBuffer& Source) {
  FInputSize = Source.FInputSize;
  FOutputSize = Source.FOutputSize;
}

void TComBuffer::SetSize(int32_t& Field, int32_t Value) {
  if (Field == Value) return;
  Field = Value;
  if (Field % 2 == 1) --Field;
  if (FComPort) Apply();
}

void TComBuffer::Apply() { FComPort->ApplyBufferSizes(); }

// --- port setters

void TCustomComPort::SetBaudRate(TBaudRate Value) {
  if (FBaudRate == Value) return;
  FBaudRate = Value;
  ApplyLineSettings();
}

void TCustomComPort::SetCustomBaudRate(int32_t Value) {
  if (FCustomBaudRate == Value) return;
  FCustomBaudRate = Value;
  ApplyLineSettings();
}

void TCustomComPort::SetParity(const TComParity& Value) {
  FParity.Assign(Value);
  ApplyLineSettings();
}

void TCustomComPort::SetStopBits(TStopBits Value) {
  if (FStopBits == Value) return;
  FStopBits = Value;
  ApplyLineSettings();
}

void TCustomComPort::SetDataBits(TDataBits Value) {
  if (FDataBits == Value) return;
  FDataBits = Value;
  ApplyLineSettings();
}

void TCustomComPort::SetDiscardNull(bool Value) {
  if (FDiscardNull == Value) return;
  FDiscardNull = Value;
  ApplyLineSettings();
}

void TCustomComPort::SetEventChar(char Value) {
  if (FEventChar == Value) return;
  FEventChar = Value;
  ApplyLineSettings();
}

void TCustomComPort::SetBuffer(const TComBuffer& Value) {
  FBuffer.Assign(Value);
  ApplyBufferSizes();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& Value) {
  FFlowControl.Assign(Value);
  ApplyLineSettings();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& Value) {
  FTimeouts.Assign(Value);
  ApplyTimeoutSettings();
}

void TCustomComPort::SetSyncMethod(TSyncMethod Value) {
  if (FSyncMethod == Value) return;
  if (FConnected && !FLoading) throw EComPort(CError_ConnChangeProp);
  FSyncMethod = Value;
}

TDCB TCustomComPort::LineSettingsRecord() const {
  TDCB Dcb;
  Dcb.DCBlength = 28;
  Dcb.BaudRate = static_cast<uint32_t>(FBaudRate == brCustom ? FCustomBaudRate : BaudRateValue(FBaudRate));
  Dcb.fBinary = true;
  Dcb.fParity = FParity.Check();
  if (FParity.Check() && FParity.Replace()) {
    Dcb.fErrorChar = true;
    Dcb.ErrorChar = FParity.ReplaceChar();
  }
  Dcb.fNull = FDiscardNull;
  Dcb.fOutxCtsFlow = FFlowControl.OutCTSFlow();
  Dcb.fOutxDsrFlow = FFlowControl.OutDSRFlow();
  Dcb.fDtrControl = static_cast<uint8_t>(FFlowControl.ControlDTR());
  Dcb.fRtsControl = static_cast<uint8_t>(FFlowControl.ControlRTS());
  Dcb.fOutX = FFlowControl.XonXoffOut();
  Dcb.fInX = FFlowControl.XonXoffIn();
  Dcb.fDsrSensitivity = FFlowControl.DSRSensitivity();
  Dcb.fTXContinueOnXoff = FFlowControl.TxContinueOnXoff();
  Dcb.fAbortOnError = false;
  Dcb.XonLim = static_cast<uint16_t>(FBuffer.InputSize() / 4);
  Dcb.XoffLim = Dcb.XonLim;
  Dcb.ByteSize = static_cast<uint8_t>(5 + FDataBits);
  Dcb.Parity = static_cast<uint8_t>(FParity.Bits());
  Dcb.StopBits = static_cast<uint8_t>(FStopBits);
  Dcb.XonChar = FFlowControl.XonChar();
  Dcb.XoffChar = FFlowControl.XoffChar();
  Dcb.EvtChar = FEventChar;
  return Dcb;
}
