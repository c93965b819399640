// Line state queries on the termios backend: input queue, line errors, modem lines.
#include <poll.h>

#include <cerrno>

#include "CPort.h"
#include "ComPortState.h"
#include "PortDevice.h"
#include "PortIO.h"

int32_t TCustomComPort::InputQueueCount() {
  int Count = 0;
  std::lock_guard<std::mutex> Lock(S_->IO.FRxLock);
  // A hung-up driver holds nothing more; what the port took from it before is still there.
  if (!S_->IO.FHungUp) {
    // Filtered input is counted once it has passed the filter: the driver's count would hold the
    // bytes it drops or joins.
    const int Err = S_->IO.FRxFilter.Passes() ? cport_device::QueueCount(TPortIO::Fd(*this), Count)
                                                 : TPortIO::PullAllInput(*this, TPortIO::Fd(*this));
    if (Err == EIO)
      S_->IO.FHungUp = true;
    else if (Err != 0)
      throw EComPort(CError_ClearComFailed, Err);
  }
  return static_cast<int32_t>(static_cast<size_t>(Count) + S_->IO.FRxQueue.size() - S_->IO.FRxHead);
}

// The queries take the handle under the lock that CloseDevice lets it go under: none reaches a
// descriptor number that the next open may have reused.

TComErrors TCustomComPort::LineErrors() {
  std::lock_guard<std::mutex> Lock(S_->IO.FRxLock);
  const int Fd = TPortIO::Fd(*this);
  if (Fd < 0) throw EComPort(CError_ClearComFailed, EBADF);
  TComErrors Errors;
  if (S_->IO.FCountersSupported && !S_->IO.FHungUp) {
    cport_device::TCounters C;
    const int Err = cport_device::ReadCounters(Fd, C);
    if (Err == 0) {
      if (C.Frame != S_->IO.FErrorBase.Frame) Errors.Include(ceFrame);
      if (C.Parity != S_->IO.FErrorBase.Parity && FParity.Check()) Errors.Include(ceRxParity);
      if (C.Overrun != S_->IO.FErrorBase.Overrun) Errors.Include(ceOverrun);
      if (C.Brk != S_->IO.FErrorBase.Brk) Errors.Include(ceBreak);
      if (C.BufOverrun != S_->IO.FErrorBase.BufOverrun) Errors.Include(ceRxOver);
      S_->IO.FErrorBase = {C.Frame, C.Overrun, C.Parity, C.Brk, C.BufOverrun};
    } else if (Err == EIO) {
      S_->IO.FHungUp = true;
    } else if (cport_device::Unsupported(Err)) {
      S_->IO.FCountersSupported = false;
    } else {
      throw EComPort(CError_ClearComFailed, Err);
    }
  }
  if (!S_->IO.FHungUp) {
    pollfd P{Fd, 0, 0};
    if (::poll(&P, 1, 0) > 0 && (P.revents & (POLLHUP | POLLERR))) S_->IO.FHungUp = true;
  }
  if (S_->IO.FHungUp && !S_->IO.FHangUpReported) {
    Errors.Include(ceIO);
    S_->IO.FHangUpReported = true;
  }
  return Errors;
}

TModemSignals TCustomComPort::ModemSignals() {
  int Bits = 0;
  std::lock_guard<std::mutex> Lock(S_->IO.FRxLock);
  const int Err = cport_device::ReadModemLines(TPortIO::Fd(*this), Bits);
  if (Err != 0 && !cport_device::Unsupported(Err)) throw EComPort(CError_ModemStatFailed, Err);
  return TModemSignals::FromBits(static_cast<uint8_t>(Bits));
}
