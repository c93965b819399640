// Opening, closing and setting up the device on the Win32 backend.
#include <windows.h>

#include "CPort.h"
#include "ComPortState.h"
#include "PortIO.h"

namespace {

HANDLE OpenPortDevice(const std::string& Name) {
  // No sharing: a port is one program's at a time.
  return CreateFileA(TPortIO::DevicePath(Name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OVERLAPPED, nullptr);
}

int32_t LastError() { return static_cast<int32_t>(GetLastError()); }

}  // namespace

std::string TPortIO::DevicePath(const std::string& Name) {
  if (Name.rfind("\\\\.\\", 0) == 0 || Name.rfind("\\\\?\\", 0) == 0) return Name;
  return "\\\\.\\" + Name;
}

void TCustomComPort::OpenDevice() {
  const HANDLE Device = OpenPortDevice(FPort);
  if (Device == INVALID_HANDLE_VALUE) throw EComPort(CError_OpenFailed, LastError());
  std::lock_guard<std::mutex> Lock(S_->IO.FDeviceLock);
  S_->FHandle = reinterpret_cast<intptr_t>(Device);
  S_->IO.FErrorFlags = 0;
  S_->IO.FHungUp = false;
  S_->IO.FHangUpReported = false;
}

int ProbeComDevice(const std::string& Path) {
  const HANDLE Device = OpenPortDevice(Path);
  if (Device == INVALID_HANDLE_VALUE) return LastError();
  // The open raised DTR and RTS; the tool's port keeps them low. A driver without modem lines
  // refuses, which is no failure of the probe.
  (void)EscapeCommFunction(Device, CLRDTR);
  (void)EscapeCommFunction(Device, CLRRTS);
  // A name can stand for a device that is no serial line (or for none behind it): the driver of
  // a port answers GetCommState.
  DCB State{};
  State.DCBlength = sizeof State;
  const int32_t Result = GetCommState(Device, &State) ? 0 : LastError();
  CloseHandle(Device);
  return Result;
}

void TCustomComPort::CloseDevice() {
  HANDLE Device;
  {
    std::lock_guard<std::mutex> Lock(S_->IO.FDeviceLock);
    Device = reinterpret_cast<HANDLE>(S_->FHandle.exchange(-1));
  }
  if (Device == INVALID_HANDLE_VALUE) return;
  TPortIO::CancelPending(*this);
  {
    std::unique_lock<std::mutex> Lock(S_->FIoLock);
    S_->IO.FWaitingGone.wait(Lock, [this] { return S_->IO.FWaiting.empty(); });
  }
  // Unread input and output no write counted as sent are discarded: a stopped line cannot hold
  // up the close.
  (void)PurgeComm(Device, PURGE_RXABORT | PURGE_TXABORT | PURGE_RXCLEAR | PURGE_TXCLEAR);
  CloseHandle(Device);
}

void TCustomComPort::ApplyLineSettings() {
  if (!CanApply()) return;
  const TDCB R = LineSettingsRecord();
  const HANDLE Device = TPortIO::Device(*this);
  DCB D{};
  D.DCBlength = sizeof D;
  if (!GetCommState(Device, &D)) throw EComPort(CError_SetStateFailed, LastError());
  D.BaudRate = R.BaudRate;
  D.fBinary = R.fBinary;
  D.fParity = R.fParity;
  D.fOutxCtsFlow = R.fOutxCtsFlow;
  D.fOutxDsrFlow = R.fOutxDsrFlow;
  D.fDtrControl = R.fDtrControl;
  D.fDsrSensitivity = R.fDsrSensitivity;
  D.fTXContinueOnXoff = R.fTXContinueOnXoff;
  D.fOutX = R.fOutX;
  D.fInX = R.fInX;
  D.fErrorChar = R.fErrorChar;
  D.fNull = R.fNull;
  D.fRtsControl = R.fRtsControl;
  D.fAbortOnError = R.fAbortOnError;
  D.XonLim = R.XonLim;
  D.XoffLim = R.XoffLim;
  D.ByteSize = R.ByteSize;
  D.Parity = R.Parity;
  D.StopBits = R.StopBits;
  D.XonChar = R.XonChar;
  D.XoffChar = R.XoffChar;
  D.ErrorChar = R.ErrorChar;
  D.EofChar = R.EofChar;
  D.EvtChar = R.EvtChar;
  if (!SetCommState(Device, &D)) throw EComPort(CError_SetStateFailed, LastError());
}

void TPortIO::ApplyTimeouts(TCustomComPort& Port, const TDeviceTimeouts& T) {
  COMMTIMEOUTS C{T.ReadIntervalTimeout, T.ReadTotalTimeoutMultiplier, T.ReadTotalTimeoutConstant,
                 T.WriteTotalTimeoutMultiplier, T.WriteTotalTimeoutConstant};
  if (!SetCommTimeouts(Device(Port), &C)) throw EComPort(CError_TimeoutsFailed, LastError());
}

void TPortIO::ApplyBuffers(TCustomComPort& Port, int32_t InputSize, int32_t OutputSize) {
  if (!SetupComm(Device(Port), static_cast<DWORD>(InputSize), static_cast<DWORD>(OutputSize)))
    throw EComPort(CError_SetupComFailed, LastError());
}

void TPortIO::PurgeQueues(TCustomComPort& Port) {
  (void)PurgeComm(Device(Port), PURGE_RXCLEAR | PURGE_TXCLEAR);
}
