// Port lifecycle: create, open, close, reopen under a new name, apply settings to the device.
#include <sys/ioctl.h>

#include <cerrno>

#include "CPort.h"
#include "ComThread.h"
#include "HandOver.h"
#include "LifeLock.h"
#include "PortDevice.h"
#include "WriteDrain.h"

namespace {
// What the driver keeps when no input size is asked for.
constexpr size_t DefaultInputSize = 4096;
}  // namespace

TCustomComPort::TCustomComPort() : FLifeLock(std::make_unique<TLifeLock>()) {}

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; the device must still be let go, but only once the thread and
    // its queued calls cannot reach this port any more.
    std::unique_ptr<TComThread> Thread;
    {
      std::lock_guard<std::mutex> L(FThreadLock);
      Thread = std::move(FEventThread);
    }
    if (Thread) {
      Thread->Withdraw();
      Thread->Join();
      Thread.reset();
      FThreadCreated = false;
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
    TLifeGuard Life(*FLifeLock);
    if (FPort == Value) return;
    FPort = Value;
    if (!FConnected || FLoading) return;
  }
  Close();
  Open();
}

void TCustomComPort::Open() {
  ReapRetiredThreads();
  TLifeGuard Life(*FLifeLock);
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
  TLifeGuard Life(*FLifeLock);
  if (!FConnected) return;
  if (FClosing) {
    FCloseAsked = true;
    return;
  }
  struct TClosing {
    TCustomComPort* Port;
    explicit TClosing(TCustomComPort* P) : Port(P) { Port->FClosing = true; }
    ~TClosing() {
      Port->FClosing = false;
      Port->FRefuseRequests = false;
    }
  } Guard(this);
  NotifyBeforeClose();
  // From here on a handler the close still serves (or one on the event thread) cannot start a
  // request that nobody would cancel: the refusal is in place before the pending ones are cancelled.
  FRefuseRequests = true;
  AbortPendingIO();
  if (FThreadCreated) DestroyEventThread();
  CloseDevice();
  ++FSession;
  FConnected = false;
  FCloseAsked = false;
  NotifyAfterClose();
}

void TCustomComPort::CreateEventThread() {
  try {
    auto Thread = std::make_unique<TComThread>(this);
    TComThread* Started = Thread.get();
    {
      std::lock_guard<std::mutex> L(FThreadLock);
      FEventThread = std::move(Thread);
    }
    FThreadCreated = true;
    Started->Start();
  } catch (...) {
    std::unique_ptr<TComThread> Failed;
    {
      std::lock_guard<std::mutex> L(FThreadLock);
      Failed = std::move(FEventThread);
    }
    FThreadCreated = false;
    CloseDevice();
    FConnected = false;
    throw;
  }
}

void TCustomComPort::DestroyEventThread() {
  TComThread* Thread = FEventThread.get();
  if (Thread->IsCurrent()) {
    // A handler of this very thread (smNone) closes the port: the thread ends when the handler
    // returns, and is joined by whoever may wait for it.
    Thread->Retire();
    std::lock_guard<std::mutex> L(FThreadLock);
    FRetiredThreads.push_back(std::move(FEventThread));
    FThreadCreated = false;
    return;
  }
  // Closed from its own handler, the thread must not wait for the call we are in.
  if (FInSyncedBatch > 0)
    Thread->Withdraw();
  else
    Thread->Stop();
  {
    // A handler on the thread may want to close the port too; it finds the close under way.
    TLifeLock::TSuspend Suspend(*FLifeLock);
    // The thread may be waiting for us to serve its hand-over.
    if (FSyncMethod != smNone) cport_handover::ServeUntil([Thread] { return Thread->Ended(); });
    Thread->Join();
  }
  std::unique_ptr<TComThread> Ended;
  {
    std::lock_guard<std::mutex> L(FThreadLock);
    Ended = std::move(FEventThread);
  }
  FThreadCreated = false;
  if (FSyncMethod == smWindowSync) cport_handover::Discard(this);
}

void TCustomComPort::ReapRetiredThreads() {
  // A thread may be waited for only where none of its handlers can be waiting for us.
  const bool MayWait = !TComThread::OnEventThread() && !FLifeLock->HeldHere();
  std::vector<std::unique_ptr<TComThread>> Done;
  {
    std::lock_guard<std::mutex> L(FThreadLock);
    for (auto It = FRetiredThreads.begin(); It != FRetiredThreads.end();) {
      if (MayWait || (*It)->Ended()) {
        Done.push_back(std::move(*It));
        It = FRetiredThreads.erase(It);
      } else {
        ++It;
      }
    }
  }
}

void TCustomComPort::WakeEventThread() {
  std::lock_guard<std::mutex> L(FThreadLock);
  if (FEventThread) FEventThread->Wake();
}

void TCustomComPort::NoteTransmitted() {
  std::lock_guard<std::mutex> L(FThreadLock);
  if (FEventThread) FEventThread->NoteTransmit();
}

void TCustomComPort::OpenDevice() {
  int Fd = -1;
  const int LowLines = cport_device::LinesHeldLow(LineSettingsRecord());
  if (const int Err = cport_device::OpenExclusive(FPort, LowLines, Fd)) throw EComPort(CError_OpenFailed, Err);
  // Published under the lock that other threads' reads and writes take before using it.
  std::lock_guard<std::mutex> Lock(FRxLock);
  FHandle = Fd;
  FOutputDrains = cport_device::IsSerialDevice(Fd);
  FHungUp = false;
  FHangUpReported = false;
  cport_device::TCounters Counters;
  FCountersSupported = cport_device::ReadCounters(Fd, Counters) == 0;
  FErrorBase = {Counters.Frame, Counters.Overrun, Counters.Parity, Counters.Brk, Counters.BufOverrun};
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
    std::lock_guard<std::mutex> Lock(FRxLock);
    Fd = FHandle.exchange(-1);
    FRxQueue.clear();
    FRxHead = 0;
    FRxFilter.Reset();
  }
  if (Fd < 0) return;
  // A request that waits on the descriptor keeps it open, and locked, until it wakes.
  CancelPendingRequests();
  {
    std::unique_lock<std::mutex> Lock(FIoLock);
    FWaitingGone.wait(Lock, [this] { return FWaiting.empty(); });
  }
  // Unread bytes and unsent ones are discarded, so a stopped line cannot hold up the close; no
  // write has counted the unsent ones (a write ends when its bytes have left the driver).
  (void)cport_device::Discard(Fd, FOutputDrains);
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
  FCharTime = cport_write::CharTime(Dcb).count();
}

void TCustomComPort::ApplyTimeoutSettings() {
  if (!CanApply()) return;
  if (Handle() < 0) throw EComPort(CError_TimeoutsFailed, EBADF);
  std::lock_guard<std::mutex> Lock(FIoLock);
  FDeviceTimeouts.ReadIntervalTimeout = static_cast<uint32_t>(FTimeouts.ReadInterval());
  FDeviceTimeouts.ReadTotalTimeoutMultiplier = static_cast<uint32_t>(FTimeouts.ReadTotalMultiplier());
  FDeviceTimeouts.ReadTotalTimeoutConstant = static_cast<uint32_t>(FTimeouts.ReadTotalConstant());
  FDeviceTimeouts.WriteTotalTimeoutMultiplier = static_cast<uint32_t>(FTimeouts.WriteTotalMultiplier());
  FDeviceTimeouts.WriteTotalTimeoutConstant = static_cast<uint32_t>(FTimeouts.WriteTotalConstant());
}

void TCustomComPort::ApplyBufferSizes() {
  if (!CanApply()) return;
  if (Handle() < 0) throw EComPort(CError_SetupComFailed, EBADF);
  if (FBuffer.InputSize() < 0 || FBuffer.OutputSize() < 0 || FBuffer.InputSize() > MaxInputSize)
    throw EComPort(CError_SetupComFailed, EINVAL);
  {
    std::lock_guard<std::mutex> Lock(FRxLock);
    FRxCapacity = FBuffer.InputSize() > 0 ? static_cast<size_t>(FBuffer.InputSize()) : DefaultInputSize;
  }
  // A thread that stopped taking input for a full queue may have room now.
  WakeEventThread();
}
