// Port lifecycle: create, open, close, reopen under a new name, apply settings to the device.
#include "CPort.h"
#include "ComPortState.h"
#include "ComThread.h"
#include "HandOver.h"
#include "LifeLock.h"
#include "PortIO.h"

TCustomComPort::TCustomComPort() : S_(std::make_unique<TState>()) {}

intptr_t TCustomComPort::Handle() const { return S_->FHandle.load(std::memory_order_relaxed); }

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

void TCustomComPort::ConfigureDevice() {
  ApplyBufferSizes();
  ApplyLineSettings();
  ApplyTimeoutSettings();
}

void TCustomComPort::ApplyTimeoutSettings() {
  if (!CanApply()) return;
  if (Handle() < 0) throw EComPort(CError_TimeoutsFailed, SystemCode(TSystemCode::NotOpen));
  TDeviceTimeouts T;
  T.ReadIntervalTimeout = static_cast<uint32_t>(FTimeouts.ReadInterval());
  T.ReadTotalTimeoutMultiplier = static_cast<uint32_t>(FTimeouts.ReadTotalMultiplier());
  T.ReadTotalTimeoutConstant = static_cast<uint32_t>(FTimeouts.ReadTotalConstant());
  T.WriteTotalTimeoutMultiplier = static_cast<uint32_t>(FTimeouts.WriteTotalMultiplier());
  T.WriteTotalTimeoutConstant = static_cast<uint32_t>(FTimeouts.WriteTotalConstant());
  TPortIO::ApplyTimeouts(*this, T);
  std::lock_guard<std::mutex> Lock(S_->FIoLock);
  S_->FDeviceTimeouts = T;
}

void TCustomComPort::ApplyBufferSizes() {
  if (!CanApply()) return;
  if (Handle() < 0) throw EComPort(CError_SetupComFailed, SystemCode(TSystemCode::NotOpen));
  if (FBuffer.InputSize() < 0 || FBuffer.OutputSize() < 0 || FBuffer.InputSize() > MaxInputSize)
    throw EComPort(CError_SetupComFailed, SystemCode(TSystemCode::InvalidValue));
  TPortIO::ApplyBuffers(*this, FBuffer.InputSize(), FBuffer.OutputSize());
}
