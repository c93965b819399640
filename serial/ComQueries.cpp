// Line state queries: input queue, line errors, modem lines.
#include <poll.h>

#include <cerrno>

#include "CPort.h"
#include "ComPortState.h"
#include "PortDevice.h"

int32_t TCustomComPort::InputQueueCount() {
  int Count = 0;
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  // A hung-up driver holds nothing more; what the port took from it before is still there.
  if (!S_->FHungUp) {
    // Filtered input is counted once it has passed the filter: the driver's count would hold the
    // bytes it drops or joins.
    const int Err = S_->FRxFilter.Passes() ? cport_device::QueueCount(Handle(), Count) : PullAllInput(Handle());
    if (Err == EIO)
      S_->FHungUp = true;
    else if (Err != 0)
      throw EComPort(CError_ClearComFailed, Err);
  }
  return static_cast<int32_t>(static_cast<size_t>(Count) + S_->FRxQueue.size() - S_->FRxHead);
}

// The queries take the handle under the lock that CloseDevice lets it go under: none reaches a
// descriptor number that the next open may have reused.

TComErrors TCustomComPort::LineErrors() {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  const int Fd = Handle();
  if (Fd < 0) throw EComPort(CError_ClearComFailed, EBADF);
  TComErrors Errors;
  if (S_->FCountersSupported && !S_->FHungUp) {
    cport_device::TCounters C;
    const int Err = cport_device::ReadCounters(Fd, C);
    if (Err == 0) {
      if (C.Frame != S_->FErrorBase.Frame) Errors.Include(ceFrame);
      if (C.Parity != S_->FErrorBase.Parity && FParity.Check()) Errors.Include(ceRxParity);
      if (C.Overrun != S_->FErrorBase.Overrun) Errors.Include(ceOverrun);
      if (C.Brk != S_->FErrorBase.Brk) Errors.Include(ceBreak);
      if (C.BufOverrun != S_->FErrorBase.BufOverrun) Errors.Include(ceRxOver);
      S_->FErrorBase = {C.Frame, C.Overrun, C.Parity, C.Brk, C.BufOverrun};
    } else if (Err == EIO) {
      S_->FHungUp = true;
    } else if (cport_device::Unsupported(Err)) {
      S_->FCountersSupported = false;
    } else {
      throw EComPort(CError_ClearComFailed, Err);
    }
  }
  if (!S_->FHungUp) {
    pollfd P{Fd, 0, 0};
    if (::poll(&P, 1, 0) > 0 && (P.revents & (POLLHUP | POLLERR))) S_->FHungUp = true;
  }
  if (S_->FHungUp && !S_->FHangUpReported) {
    Errors.Include(ceIO);
    S_->FHangUpReported = true;
  }
  return Errors;
}

TModemSignals TCustomComPort::ModemSignals() {
  int Bits = 0;
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  const int Err = cport_device::ReadModemLines(Handle(), Bits);
  if (Err != 0 && !cport_device::Unsupported(Err)) throw EComPort(CError_ModemStatFailed, Err);
  return TModemSignals::FromBits(static_cast<uint8_t>(Bits));
}
