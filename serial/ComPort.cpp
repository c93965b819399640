// Port lifecycle: create, open, close, reopen under a new name, apply settings to the device.
#include <cerrno>

#include "CPort.h"
#include "ComThread.h"
#include "HandOver.h"
#include "PortDevice.h"
#include "WriteDrain.h"

namespace {
// What the driver keeps when no input size is asked for.
constexpr size_t DefaultInputSize = 4096;
}  // namespace

TCustomComPort::TCustomComPort() = default;

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; the device must still be let go, but only once the thread and
    // its queued calls cannot reach this port any more.
    if (FEventThread) {
      FEventThread->Withdraw();
      FEventThread->Join();
      FEventThread.reset();
      FThreadCreated = false;
    }
    cport_handover::Discard(this);
    CloseDevice();
    FConnected = false;
  }
  // Components that refer to the port let go of it while its link list still exists.
  Destroying();
}

void TCustomComPort::Loaded() {
  FLoading = false;
  if (!FConnected) return;
  FConnected = false;
  try {
    Open();
  } catch (const std::exception& E) {
    ShowComError(E);
  }
}

void TCustomComPort::SetConnected(bool Value) {
  if (FLoading) {
    FConnected = Value;
    return;
  }
  if (Value == FConnected) return;
  if (Value)
    Open();
  else
    Close();
}

void TCustomComPort::SetPort(const std::string& Value) {
  if (FPort == Value) return;
  FPort = Value;
  if (FConnected && !FLoading) {
    Close();
    Open();
  }
}

void TCustomComPort::Open() {
  if (FConnected) return;
  DoBeforeOpen();
  OpenDevice();
  FConnected = true;
  try {
    ConfigureDevice();
  } catch (...) {
    CloseDevice();
    FConnected = false;
    throw;
  }
  if (!FEvents.Empty()) CreateEventThread();
  NotifyAfterOpen();
}

void TCustomComPort::Close() {
  if (!FConnected) return;
  if (FClosing) {
    FCloseAsked = true;
    return;
  }
  struct TClosing {
    TCustomComPort* Port;
    explicit TClosing(TCustomComPort* P) : Port(P) { Port->FClosing = true; }
    ~TClosing() { Port->FClosing = false; }
  } Guard(this);
  NotifyBeforeClose();
  AbortPendingIO();
  if (FThreadCreated) DestroyEventThread();
  CloseDevice();
  FConnected = false;
  FCloseAsked = false;
  NotifyAfterClose();
}

void TCustomComPort::CreateEventThread() {
  try {
    FEventThread = std::make_unique<TComThread>(this);
  } catch (...) {
    CloseDevice();
    FConnected = false;
    throw;
  }
  FThreadCreated = true;
}

void TCustomComPort::DestroyEventThread() {
  TComThread* Thread = FEventThread.get();
  // Closed from its own handler, the thread must not wait for the call we are in.
  if (FInSyncedBatch > 0)
    Thread->Withdraw();
  else
    Thread->Stop();
  // The thread may be waiting for us to serve its hand-over.
  if (FSyncMethod != smNone) cport_handover::ServeUntil([Thread] { return Thread->Ended(); });
  FEventThread.reset();
  FThreadCreated = false;
  if (FSyncMethod == smWindowSync) cport_handover::Discard(this);
}

void TCustomComPort::OpenDevice() {
  int Fd = -1;
  const int LowLines = cport_device::LinesHeldLow(LineSettingsRecord());
  if (const int Err = cport_device::OpenExclusive(FPort, LowLines, Fd)) throw EComPort(CError_OpenFailed, Err);
  FHandle = Fd;
  std::lock_guard<std::mutex> Lock(FRxLock);
  FHungUp = false;
  FHangUpReported = false;
  cport_device::TCounters Counters;
  FCountersSupported = cport_device::ReadCounters(Fd, Counters) == 0;
  FErrorBase = {Counters.Frame, Counters.Overrun, Counters.Parity, Counters.Brk, Counters.BufOverrun};
}

void TCustomComPort::CloseDevice() {
  const int Fd = FHandle.exchange(-1);
  if (Fd < 0) return;
  // Unread bytes and unsent ones are discarded, so a stopped line cannot hold up the close; no
  // write has counted the unsent ones (a write ends when its bytes have left the driver).
  (void)cport_device::Flush(Fd);
  cport_device::CloseExclusive(Fd);
  std::lock_guard<std::mutex> Lock(FRxLock);
  FRxQueue.clear();
  FRxHead = 0;
}

void TCustomComPort::ConfigureDevice() {
  ApplyBufferSizes();
  ApplyLineSettings();
  ApplyTimeoutSettings();
}

void TCustomComPort::ApplyLineSettings() {
  if (!CanApply()) return;
  const TDCB Dcb = LineSettingsRecord();
  SetReceiveFilter(Dcb);
  if (const int Err = cport_device::ApplyLine(Handle(), Dcb)) throw EComPort(CError_SetStateFailed, Err);
  FCharTime = cport_write::CharTime(Dcb).count();
}

void TCustomComPort::ApplyTimeoutSettings() {
  if (!CanApply()) return;
  if (Handle() < 0) throw EComPort(CError_TimeoutsFailed, EBADF);
  FDeviceTimeouts.ReadIntervalTimeout = static_cast<uint32_t>(FTimeouts.ReadInterval());
  FDeviceTimeouts.ReadTotalTimeoutMultiplier = static_cast<uint32_t>(FTimeouts.ReadTotalMultiplier());
  FDeviceTimeouts.ReadTotalTimeoutConstant = static_cast<uint32_t>(FTimeouts.ReadTotalConstant());
  FDeviceTimeouts.WriteTotalTimeoutMultiplier = static_cast<uint32_t>(FTimeouts.WriteTotalMultiplier());
  FDeviceTimeouts.WriteTotalTimeoutConstant = static_cast<uint32_t>(FTimeouts.WriteTotalConstant());
}

void TCustomComPort::ApplyBufferSizes() {
  if (!CanApply()) return;
  if (Handle() < 0) throw EComPort(CError_SetupComFailed, EBADF);
  if (FBuffer.InputSize() < 0 || FBuffer.OutputSize() < 0) throw EComPort(CError_SetupComFailed, EINVAL);
  std::lock_guard<std::mutex> Lock(FRxLock);
  FRxCapacity = FBuffer.InputSize() > 0 ? static_cast<size_t>(FBuffer.InputSize()) : DefaultInputSize;
}
