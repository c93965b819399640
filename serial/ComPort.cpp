// Port lifecycle: create, open, close, reopen under a new name, apply settings to the device.
#include <sys/ioctl.h>

#include <cerrno>

#include "CPort.h"
#include "ComPortState.h"
#include "ComThread.h"
#include "HandOver.h"
#include "LifeLock.h"
#include "PortDevice.h"
#include "WriteDrain.h"

namespace {
// What the driver keeps when no input size is asked for.
constexpr size_t DefaultInputSize = 4096;
}  // namespace

TCustomComPort::TCustomComPort() : S_(std::make_unique<TState>()) {}

int TCustomComPort::Handle() const { return S_->FHandle.load(std::memory_order_relaxed); }

TDeviceTimeouts TCustomComPort::DeviceTimeouts() const {
  std::lock_guard<std::mutex> Lock(S_->FIoLock);
  return S_->FDeviceTimeouts;
}

bool TCustomComPort::EventThreadCreated() const { return S_->FThreadCreated; }

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; the device must still be let go, but only once the thread and
    // its queued calls cannot reach this port any more.
    std::unique_ptr<TComThread> Thread;
    {
      std::lock_guard<std::mutex> L(S_->FThreadLock);
      Thread = std::move(S_->FEventThread);
    }
    if (Thread) {
      Thread->Withdraw();
      Thread->Join();
      Thread.reset();
      S_->FThreadCreated = false;
    }
    cport_handover::Discard(this);
    CloseDevice();
    FConnected = false;
  }
  ReapRetiredThreads();
  // Components that refer to the port let go of it while its link list still exists.
  Destroying();
}

void TCustomComPort::Loaded() {
  FLoading = false;
  try {
    if (Handle() >= 0) {
      // Loaded while open: the device stays the one it is. The setters only stored meanwhile, so
      // their values are applied now; a Connected stored false closes it.
      const bool Wanted = FConnected;
      FConnected = true;
      if (Wanted)
        ConfigureDevice();
      else
        Close();
      return;
    }
    if (!FConnected) return;
    FConnected = false;
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
  {
    TLifeGuard Life(*S_->FLifeLock);
    if (FPort == Value) return;
    FPort = Value;
    if (!FConnected || FLoading) return;
  }
  Close();
  Open();
}

void TCustomComPort::Open() {
  ReapRetiredThreads();
  TLifeGuard Life(*S_->FLifeLock);
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
  CloseOnce();
  ReapRetiredThreads();
}

void TCustomComPort::CloseOnce() {
  TLifeGuard Life(*S_->FLifeLock);
  if (!FConnected) return;
  if (S_->FClosing) {
    S_->FCloseAsked = true;
    return;
  }
  struct TClosing {
    TCustomComPort* Port;
    explicit TClosing(TCustomComPort* P) : Port(P) { Port->S_->FClosing = true; }
    ~TClosing() {
      Port->S_->FClosing = false;
      Port->S_->FRefuseRequests = false;
    }
  } Guard(this);
  NotifyBeforeClose();
  // From here on a handler the close still serves (or one on the event thread) cannot start a
  // request that nobody would cancel: the refusal is in place before the pending ones are cancelled.
  S_->FRefuseRequests = true;
  AbortPendingIO();
  if (S_->FThreadCreated) DestroyEventThread();
  CloseDevice();
  ++S_->FSession;
  FConnected = false;
  S_->FCloseAsked = false;
  NotifyAfterClose();
}

void TCustomComPort::CreateEventThread() {
  try {
    auto Thread = std::make_unique<TComThread>(this);
    TComThread* Started = Thread.get();
    {
      std::lock_guard<std::mutex> L(S_->FThreadLock);
      S_->FEventThread = std::move(Thread);
    }
    S_->FThreadCreated = true;
    Started->Start();
  } catch (...) {
    std::unique_ptr<TComThread> Failed;
    {
      std::lock_guard<std::mutex> L(S_->FThreadLock);
      Failed = std::move(S_->FEventThread);
    }
    S_->FThreadCreated = false;
    CloseDevice();
    FConnected = false;
    throw;
  }
}

void TCustomComPort::DestroyEventThread() {
  TComThread* Thread = S_->FEventThread.get();
  if (Thread->IsCurrent()) {
    // A handler of this very thread (smNone) closes the port: the thread ends when the handler
    // returns, and is joined by whoever may wait for it.
    Thread->Retire();
    std::lock_guard<std::mutex> L(S_->FThreadLock);
    S_->FRetiredThreads.push_back(std::move(S_->FEventThread));
    S_->FThreadCreated = false;
    return;
  }
  // Closed from its own handler, the thread must not wait for the call we are in.
  if (S_->FInSyncedBatch > 0)
    Thread->Withdraw();
  else
    Thread->Stop();
  {
    // A handler on the thread may want to close the port too; it finds the close under way.
    TLifeLock::TSuspend Suspend(*S_->FLifeLock);
    // The thread may be waiting for us to serve its hand-over.
    if (FSyncMethod != smNone) cport_handover::ServeUntil([Thread] { return Thread->Ended(); });
    Thread->Join();
  }
  std::unique_ptr<TComThread> Ended;
  {
    std::lock_guard<std::mutex> L(S_->FThreadLock);
    Ended = std::move(S_->FEventThread);
  }
  S_->FThreadCreated = false;
  if (FSyncMethod == smWindowSync) cport_handover::Discard(this);
}

void TCustomComPort::ReapRetiredThreads() {
  // A thread may be waited for only where none of its handlers can be waiting for us.
  const bool MayWait = !TComThread::OnEventThread() && !S_->FLifeLock->HeldHere();
  std::vector<std::unique_ptr<TComThread>> Done;
  {
    std::lock_guard<std::mutex> L(S_->FThreadLock);
    for (auto It = S_->FRetiredThreads.begin(); It != S_->FRetiredThreads.end();) {
      if (MayWait || (*It)->Ended()) {
        Done.push_back(std::move(*It));
        It = S_->FRetiredThreads.erase(It);
      } else {
        ++It;
      }
    }
  }
}

void TCustomComPort::WakeEventThread() {
  std::lock_guard<std::mutex> L(S_->FThreadLock);
  if (S_->FEventThread) S_->FEventThread->Wake();
}

void TCustomComPort::NoteTransmitted() {
  std::lock_guard<std::mutex> L(S_->FThreadLock);
  if (S_->FEventThread) S_->FEventThread->NoteTransmit();
}

void TCustomComPort::OpenDevice() {
  int Fd = -1;
  const int LowLines = cport_device::LinesHeldLow(LineSettingsRecord());
  if (const int Err = cport_device::OpenExclusive(FPort, LowLines, Fd)) throw EComPort(CError_OpenFailed, Err);
  // Published under the lock that other threads' reads and writes take before using it.
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  S_->FHandle = Fd;
  S_->FOutputDrains = cport_device::IsSerialDevice(Fd);
  S_->FHungUp = false;
  S_->FHangUpReported = false;
  cport_device::TCounters Counters;
  S_->FCountersSupported = cport_device::ReadCounters(Fd, Counters) == 0;
  S_->FErrorBase = {Counters.Frame, Counters.Overrun, Counters.Parity, Counters.Brk, Counters.BufOverrun};
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
    std::lock_guard<std::mutex> Lock(S_->FRxLock);
    Fd = S_->FHandle.exchange(-1);
    S_->FRxQueue.clear();
    S_->FRxHead = 0;
    S_->FRxFilter.Reset();
  }
  if (Fd < 0) return;
  // A request that waits on the descriptor keeps it open, and locked, until it wakes.
  CancelPendingRequests();
  {
    std::unique_lock<std::mutex> Lock(S_->FIoLock);
    S_->FWaitingGone.wait(Lock, [this] { return S_->FWaiting.empty(); });
  }
  // Unread bytes and unsent ones are discarded, so a stopped line cannot hold up the close; no
  // write has counted the unsent ones (a write ends when its bytes have left the driver).
  (void)cport_device::Discard(Fd, S_->FOutputDrains);
  cport_device::CloseExclusive(Fd);
}

void TCustomComPort::ConfigureDevice() {
  ApplyBufferSizes();
  ApplyLineSettings();
  ApplyTimeoutSettings();
}

void TCustomComPort::ApplyLineSettings() {
  if (!CanApply()) return;
  const TDCB Dcb = LineSettingsRecord();
  const int Err = cport_device::ApplyLine(Handle(), Dcb);
  SetReceiveFilter(Dcb, Err == 0);
  if (Err) throw EComPort(CError_SetStateFailed, Err);
  S_->FCharTime = cport_write::CharTime(Dcb).count();
}

void TCustomComPort::ApplyTimeoutSettings() {
  if (!CanApply()) return;
  if (Handle() < 0) throw EComPort(CError_TimeoutsFailed, EBADF);
  std::lock_guard<std::mutex> Lock(S_->FIoLock);
  S_->FDeviceTimeouts.ReadIntervalTimeout = static_cast<uint32_t>(FTimeouts.ReadInterval());
  S_->FDeviceTimeouts.ReadTotalTimeoutMultiplier = static_cast<uint32_t>(FTimeouts.ReadTotalMultiplier());
  S_->FDeviceTimeouts.ReadTotalTimeoutConstant = static_cast<uint32_t>(FTimeouts.ReadTotalConstant());
  S_->FDeviceTimeouts.WriteTotalTimeoutMultiplier = static_cast<uint32_t>(FTimeouts.WriteTotalMultiplier());
  S_->FDeviceTimeouts.WriteTotalTimeoutConstant = static_cast<uint32_t>(FTimeouts.WriteTotalConstant());
}

void TCustomComPort::ApplyBufferSizes() {
  if (!CanApply()) return;
  if (Handle() < 0) throw EComPort(CError_SetupComFailed, EBADF);
  if (FBuffer.InputSize() < 0 || FBuffer.OutputSize() < 0 || FBuffer.InputSize() > MaxInputSize)
    throw EComPort(CError_SetupComFailed, EINVAL);
  {
    std::lock_guard<std::mutex> Lock(S_->FRxLock);
    S_->FRxCapacity = FBuffer.InputSize() > 0 ? static_cast<size_t>(FBuffer.InputSize()) : DefaultInputSize;
  }
  // A thread that stopped taking input for a full queue may have room now.
  WakeEventThread();
}
