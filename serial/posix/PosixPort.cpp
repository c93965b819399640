// Opening, closing and setting up the device on the termios backend.
#include <sys/ioctl.h>

#include <cerrno>

#include "CPort.h"
#include "ComPortState.h"
#include "PortDevice.h"
#include "PortIO.h"
#include "WriteDrain.h"

namespace {
// What the driver keeps when no input size is asked for.
constexpr size_t DefaultInputSize = 4096;
}  // namespace

void TCustomComPort::OpenDevice() {
  int Fd = -1;
  const int LowLines = cport_device::LinesHeldLow(LineSettingsRecord());
  if (const int Err = cport_device::OpenExclusive(FPort, LowLines, Fd)) throw EComPort(CError_OpenFailed, Err);
  // Published under the lock that other threads' reads and writes take before using it.
  std::lock_guard<std::mutex> Lock(S_->IO.FRxLock);
  S_->FHandle = Fd;
  S_->IO.FOutputDrains = cport_device::IsSerialDevice(Fd);
  S_->IO.FHungUp = false;
  S_->IO.FHangUpReported = false;
  cport_device::TCounters Counters;
  S_->IO.FCountersSupported = cport_device::ReadCounters(Fd, Counters) == 0;
  S_->IO.FErrorBase = {Counters.Frame, Counters.Overrun, Counters.Parity, Counters.Brk, Counters.BufOverrun};
}

int ProbeComDevice(const std::string& Path) {
  int Fd = -1;
  if (const int Err = cport_device::OpenExclusive(Path, TIOCM_DTR | TIOCM_RTS, Fd)) return Err;
  cport_device::CloseExclusive(Fd);
  return 0;
}

void TCustomComPort::CloseDevice() {
  int Fd;
  {
    // Reads and writes of other threads look at the handle under this lock: none reaches the
    // descriptor once it is out.
    std::lock_guard<std::mutex> Lock(S_->IO.FRxLock);
    Fd = static_cast<int>(S_->FHandle.exchange(-1));
    S_->IO.FRxQueue.clear();
    S_->IO.FRxHead = 0;
    S_->IO.FRxFilter.Reset();
  }
  if (Fd < 0) return;
  // A request that waits on the descriptor keeps it open, and locked, until it wakes.
  TPortIO::CancelPending(*this);
  {
    std::unique_lock<std::mutex> Lock(S_->FIoLock);
    S_->IO.FWaitingGone.wait(Lock, [this] { return S_->IO.FWaiting.empty(); });
  }
  // Unread bytes and unsent ones are discarded, so a stopped line cannot hold up the close; no
  // write has counted the unsent ones (a write ends when its bytes have left the driver).
  (void)cport_device::Discard(Fd, S_->IO.FOutputDrains);
  cport_device::CloseExclusive(Fd);
}


void TCustomComPort::ApplyLineSettings() {
  if (!CanApply()) return;
  const TDCB Dcb = LineSettingsRecord();
  const int Err = cport_device::ApplyLine(TPortIO::Fd(*this), Dcb);
  TPortIO::SetReceiveFilter(*this, Dcb, Err == 0);
  if (Err) throw EComPort(CError_SetStateFailed, Err);
  S_->IO.FCharTime = cport_write::CharTime(Dcb).count();
}


void TPortIO::ApplyBuffers(TCustomComPort& Port, int32_t InputSize, int32_t) {
  {
    std::lock_guard<std::mutex> Lock(Port.S_->IO.FRxLock);
    Port.S_->IO.FRxCapacity = InputSize > 0 ? static_cast<size_t>(InputSize) : DefaultInputSize;
  }
  // A thread that stopped taking input for a full queue may have room now.
  Port.WakeEventThread();
}
