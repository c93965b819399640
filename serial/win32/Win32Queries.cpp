// Line state queries on the Win32 backend: input queue, line errors, modem lines.
#include <windows.h>

#include "CPort.h"
#include "ComPortState.h"
#include "PortIO.h"

namespace {

struct TErrorFlag {
  DWORD Flag;
  TComError Error;
};

constexpr TErrorFlag ErrorFlags[] = {
    {CE_FRAME, ceFrame}, {CE_RXPARITY, ceRxParity}, {CE_OVERRUN, ceOverrun}, {CE_BREAK, ceBreak},
    {CE_IOE, ceIO},      {CE_MODE, ceMode},         {CE_RXOVER, ceRxOver},   {CE_TXFULL, ceTxFull},
};

}  // namespace

int32_t TCustomComPort::InputQueueCount() {
  std::lock_guard<std::mutex> Lock(S_->IO.FDeviceLock);
  const HANDLE Device = TPortIO::Device(*this);
  if (Device == INVALID_HANDLE_VALUE) throw EComPort(CError_ClearComFailed, ERROR_INVALID_HANDLE);
  COMSTAT Status;
  DWORD Error = 0;
  if (TPortIO::LineStatus(*this, Device, Status, Error)) return static_cast<int32_t>(Status.cbInQue);
  // A driver whose device is gone holds nothing more.
  if (S_->IO.FHungUp) return 0;
  throw EComPort(CError_ClearComFailed, static_cast<int32_t>(Error));
}

TComErrors TCustomComPort::LineErrors() {
  std::lock_guard<std::mutex> Lock(S_->IO.FDeviceLock);
  const HANDLE Device = TPortIO::Device(*this);
  if (Device == INVALID_HANDLE_VALUE) throw EComPort(CError_ClearComFailed, ERROR_INVALID_HANDLE);
  COMSTAT Status;
  DWORD Error = 0;
  if (!TPortIO::LineStatus(*this, Device, Status, Error) && !S_->IO.FHungUp)
    throw EComPort(CError_ClearComFailed, static_cast<int32_t>(Error));
  DWORD Flags = S_->IO.FErrorFlags;
  S_->IO.FErrorFlags = 0;
  if (!FParity.Check()) Flags &= ~static_cast<DWORD>(CE_RXPARITY);
  if (S_->IO.FHungUp && !S_->IO.FHangUpReported) {
    Flags |= CE_IOE;
    S_->IO.FHangUpReported = true;
  }
  TComErrors Errors;
  for (const TErrorFlag& F : ErrorFlags)
    if (Flags & F.Flag) Errors.Include(F.Error);
  return Errors;
}

TModemSignals TCustomComPort::ModemSignals() {
  std::lock_guard<std::mutex> Lock(S_->IO.FDeviceLock);
  DWORD Status = 0;
  if (!GetCommModemStatus(TPortIO::Device(*this), &Status)) {
    const DWORD Error = GetLastError();
    // A driver without modem lines (a virtual port) has none to report.
    if (Error == ERROR_NOT_SUPPORTED) return TModemSignals();
    throw EComPort(CError_ModemStatFailed, static_cast<int32_t>(Error));
  }
  TModemSignals Signals;
  if (Status & MS_CTS_ON) Signals.Include(msCTS);
  if (Status & MS_DSR_ON) Signals.Include(msDSR);
  if (Status & MS_RING_ON) Signals.Include(msRing);
  if (Status & MS_RLSD_ON) Signals.Include(msRLSD);
  return Signals;
}
