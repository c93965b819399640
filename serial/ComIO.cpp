// Reading and writing: requests on the non-blocking descriptor, with the Win32 time limits
// computed here on CLOCK_MONOTONIC deadlines.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "CPort.h"
#include "ComPortState.h"
#include "DeviceCalls.h"
#include "PortDevice.h"
#include "WriteDrain.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr uint32_t MaxDword = 0xFFFFFFFFu;
// Limits longer than this (about 31 years) are taken as none, so deadlines never overflow.
constexpr uint64_t NoLimitMs = 1000000000000ull;

struct TRequestHolder {
  PAsync P = nullptr;
  TRequestHolder() { CreateAsyncRequest(P); }
  ~TRequestHolder() { FreeAsyncRequest(P); }
};

// Earliest of two optional deadlines.
void Limit(bool& Has, Clock::time_point& Deadline, Clock::time_point Candidate) {
  if (!Has || Candidate < Deadline) Deadline = Candidate;
  Has = true;
}

bool LimitFromMs(uint64_t Ms, Clock::time_point From, Clock::time_point& Deadline) {
  if (Ms >= NoLimitMs) return false;
  Deadline = From + std::chrono::milliseconds(Ms);
  return true;
}

}  // namespace

AsyncRequest::~AsyncRequest() {
  if (FWakeFd >= 0) ::close(FWakeFd);
}

void CreateAsyncRequest(PAsync& AsyncPtr) { AsyncPtr = new AsyncRequest; }

void FreeAsyncRequest(PAsync& AsyncPtr) {
  delete AsyncPtr;
  AsyncPtr = nullptr;
}

// --- blocking forms

int32_t TCustomComPort::Write(const void* Buffer, int32_t Count) {
  TRequestHolder R;
  WriteAsync(Buffer, Count, R.P);
  return WaitAsync(R.P);
}

int32_t TCustomComPort::WriteString(const std::string& Str) {
  TRequestHolder R;
  WriteStringAsync(Str, R.P);
  return WaitAsync(R.P);
}

int32_t TCustomComPort::Read(void* Buffer, int32_t Count) {
  TRequestHolder R;
  ReadAsync(Buffer, Count, R.P);
  return WaitAsync(R.P);
}

int32_t TCustomComPort::ReadString(std::string& Str, int32_t Count) {
  TRequestHolder R;
  ReadStringAsync(Str, Count, R.P);
  const int32_t Done = WaitAsync(R.P);
  Str.resize(static_cast<size_t>(Done));
  return Done;
}

// --- starting requests

int32_t TCustomComPort::WriteAsync(const void* Buffer, int32_t Count, PAsync& AsyncPtr) {
  if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
  AsyncRequest& R = *AsyncPtr;
  R.FKind = TAsyncKind::Write;
  if (Count < 0 || (!Buffer && Count > 0)) {
    R.FErrno = Count < 0 ? EINVAL : EFAULT;
    throw EComPort(CError_WriteFailed, R.FErrno);
  }
  const char* Bytes = static_cast<const char*>(Buffer);
  // The request sends from its own copy: the caller may reuse or free its buffer at once.
  R.FData.assign(Bytes, Bytes + Count);
  return StartWrite(R);
}

int32_t TCustomComPort::WriteStringAsync(const std::string& Str, PAsync& AsyncPtr) {
  if (Str.empty()) return 0;
  return WriteAsync(Str.data(), static_cast<int32_t>(Str.size()), AsyncPtr);
}

int32_t TCustomComPort::ReadAsync(void* Buffer, int32_t Count, PAsync& AsyncPtr) {
  if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
  AsyncRequest& R = *AsyncPtr;
  R.FKind = TAsyncKind::Read;
  if (Count < 0 || (!Buffer && Count > 0)) {
    R.FErrno = Count < 0 ? EINVAL : EFAULT;
    throw EComPort(CError_ReadFailed, R.FErrno);
  }
  R.FBuffer = static_cast<char*>(Buffer);
  R.FCount = Count;
  return StartRead(R);
}

int32_t TCustomComPort::ReadStringAsync(std::string& Str, int32_t Count, PAsync& AsyncPtr) {
  Str.assign(static_cast<size_t>(std::max(Count, 0)), '\0');
  if (Count <= 0) return 0;
  return ReadAsync(&Str[0], Count, AsyncPtr);
}

int32_t TCustomComPort::StartWrite(AsyncRequest& R) {
  R.FCount = static_cast<int32_t>(R.FData.size());
  R.FDone = R.FAccepted = 0;
  R.FQueued = INT32_MAX;
  R.FErrno = 0;
  R.FAbortGeneration = S_->FAbortGeneration.load();
  R.FStart = R.FProgress = Clock::now();
  ContinueWrite(R, false);
  if (R.FErrno) throw EComPort(CError_WriteFailed, R.FErrno);
  LinksTxActivity(true);
  return R.FPending ? 0 : R.FDone;
}

int32_t TCustomComPort::StartRead(AsyncRequest& R) {
  R.FDone = 0;
  R.FErrno = 0;
  R.FAbortGeneration = S_->FAbortGeneration.load();
  R.FStart = R.FLastByte = Clock::now();
  ContinueRead(R, false);
  if (R.FErrno) throw EComPort(CError_ReadFailed, R.FErrno);
  return R.FPending ? 0 : R.FDone;
}

// --- carrying requests on

int TCustomComPort::SessionError(const AsyncRequest& R, int Fd) const {
  if (Cancelled(R)) return ECANCELED;
  return Fd >= 0 && Fd == Handle() ? 0 : EBADF;
}

template <class TCall>
int TCustomComPort::OnSessionDevice(const AsyncRequest& R, int Fd, TCall Call) {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  if (const int Err = SessionError(R, Fd)) return Err;
  return Call();
}

void TCustomComPort::ContinueWrite(AsyncRequest& R, bool MayWait) {
  const int Fd = Handle();
  const TDeviceTimeouts T = DeviceTimeouts();
  const uint64_t TotalMs =
      uint64_t(T.WriteTotalTimeoutMultiplier) * uint64_t(R.FCount) + T.WriteTotalTimeoutConstant;
  Clock::time_point Deadline;
  const bool HasDeadline = TotalMs != 0 && LimitFromMs(TotalMs, R.FStart, Deadline);
  R.FPending = false;
  // Handing the bytes to the driver.
  while (R.FAccepted < R.FCount) {
    ssize_t N = -1;
    int Err = OnSessionDevice(R, Fd, [&] {
      N = cport_device::Calls().Write(Fd, R.FData.data() + R.FAccepted, static_cast<size_t>(R.FCount - R.FAccepted));
      return N < 0 ? errno : 0;
    });
    if (N > 0) {
      R.FAccepted += static_cast<int32_t>(N);
      R.FProgress = Clock::now();
      NoteTransmitted();
      continue;
    }
    if (N == 0) Err = EIO;
    if (Err == EINTR) continue;
    if (Err != EAGAIN) {
      if (Err == EIO) NoteHangUp();
      R.FErrno = Err;
      return;
    }
    if (!MayWait) {
      R.FPending = true;
      return;
    }
    const Clock::time_point End = cport_write::GiveUpAt(HasDeadline, Deadline, R.FProgress);
    if (Clock::now() >= End) break;
    WaitReady(Fd, R, POLLOUT, End, true);
    if (R.FErrno) return;
  }
  if (!S_->FOutputDrains) {
    R.FDone = R.FAccepted;
    return;
  }
  // Waiting until they have left it.
  for (;;) {
    int Queued = 0;
    const int Err = OnSessionDevice(R, Fd, [&] { return cport_device::OutQueueCount(Fd, Queued); });
    if (Err != 0 && !cport_device::Unsupported(Err)) {
      if (Err == EIO) NoteHangUp();
      R.FErrno = Err;
      return;
    }
    // A close flushes the queue only after cancelling: what is gone then may not have been sent.
    if (Cancelled(R)) {
      R.FErrno = ECANCELED;
      return;
    }
    const Clock::time_point Now = Clock::now();
    if (Queued < R.FQueued) R.FProgress = Now;
    R.FQueued = Queued;
    const cport_write::TLook Look =
        cport_write::NextLook(Queued, Now, HasDeadline, Deadline, R.FProgress, Clock::duration(S_->FCharTime.load()));
    if (Look.Ended) {
      R.FDone = R.FAccepted - std::min(std::max(Queued, 0), R.FAccepted);
      // The rest is not sent later: the count says what the line got.
      if (Queued > 0) (void)OnSessionDevice(R, Fd, [Fd] { return cport_device::FlushOutput(Fd); });
      return;
    }
    if (!MayWait) {
      R.FPending = true;
      return;
    }
    WaitReady(Fd, R, 0, Now + Look.Wait, true);
    if (R.FErrno) return;
  }
}

void TCustomComPort::ContinueRead(AsyncRequest& R, bool MayWait) {
  const int Fd = Handle();
  const TDeviceTimeouts T = DeviceTimeouts();
  const bool Immediate =
      T.ReadIntervalTimeout == MaxDword && T.ReadTotalTimeoutMultiplier == 0 && T.ReadTotalTimeoutConstant == 0;
  const bool FirstByteEnds = T.ReadIntervalTimeout == MaxDword && T.ReadTotalTimeoutMultiplier == MaxDword &&
                             T.ReadTotalTimeoutConstant != 0 && T.ReadTotalTimeoutConstant != MaxDword;
  const bool UsesInterval = T.ReadIntervalTimeout != 0 && T.ReadIntervalTimeout != MaxDword;
  const uint64_t TotalMs = FirstByteEnds ? T.ReadTotalTimeoutConstant
                                         : uint64_t(T.ReadTotalTimeoutMultiplier) * uint64_t(R.FCount) +
                                               T.ReadTotalTimeoutConstant;
  Clock::time_point TotalDeadline;
  const bool HasTotal = TotalMs != 0 && LimitFromMs(TotalMs, R.FStart, TotalDeadline);
  R.FPending = false;
  while (R.FDone < R.FCount) {
    int Err = 0;
    const int32_t N = TakeInput(R, Fd, R.FBuffer + R.FDone, R.FCount - R.FDone, Err);
    // A line that hung up sends nothing more: what was taken ends the read as a time limit would,
    // rather than being lost with an error.
    if (Err == EIO && R.FDone > 0) return;
    if (Err) {
      R.FErrno = Err;
      return;
    }
    if (N > 0) {
      R.FDone += N;
      R.FLastByte = Clock::now();
      if (FirstByteEnds) return;
      continue;
    }
    if (Immediate) return;
    if (!MayWait) {
      R.FPending = true;
      return;
    }
    bool HasDeadline = HasTotal;
    Clock::time_point Deadline = TotalDeadline;
    // The interval clock runs only once a byte has come.
    if (UsesInterval && R.FDone > 0)
      Limit(HasDeadline, Deadline, R.FLastByte + std::chrono::milliseconds(T.ReadIntervalTimeout));
    if (HasDeadline && Clock::now() >= Deadline) return;
    WaitReady(Fd, R, POLLIN, Deadline, HasDeadline);
    if (R.FErrno) return;
  }
}

int32_t TCustomComPort::TakeInput(const AsyncRequest& R, int Fd, char* Buffer, int32_t Count, int& Errno) {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  // Before the queue too: it is the next session's once the port was closed and opened again.
  Errno = SessionError(R, Fd);
  if (Errno) return 0;
  if (S_->FRxQueue.size() == S_->FRxHead && !S_->FRxFilter.Passes()) {
    // Through the queue, which the filter fills; a read of nothing but dropped bytes reads on, as
    // far as one queue's worth before the read looks at its time limits again.
    TComEvents Unannounced;
    size_t Raw = 0;
    size_t Taken = 0;
    do {
      Errno = PullInput(Fd, static_cast<size_t>(Count), Unannounced, Raw);
      Taken += Raw;
    } while (Errno == 0 && Raw > 0 && S_->FRxQueue.size() == S_->FRxHead && Taken < S_->FRxCapacity);
    if (Errno == EIO) S_->FHungUp = true;
    if (Errno || S_->FRxQueue.size() == S_->FRxHead) return 0;
  }
  const size_t Queued = S_->FRxQueue.size() - S_->FRxHead;
  const size_t Taken = std::min(Queued, static_cast<size_t>(Count));
  if (Taken > 0) {
    std::copy_n(S_->FRxQueue.begin() + static_cast<std::ptrdiff_t>(S_->FRxHead), Taken, Buffer);
    S_->FRxHead += Taken;
    if (S_->FRxHead == S_->FRxQueue.size()) {
      S_->FRxQueue.clear();
      S_->FRxHead = 0;
    }
    if (Queued >= S_->FRxCapacity) WakeEventThread();
    return static_cast<int32_t>(Taken);
  }
  for (;;) {
    const ssize_t N = cport_device::Calls().Read(Fd, Buffer, static_cast<size_t>(Count));
    if (N > 0) return static_cast<int32_t>(N);
    // With VMIN=1 an empty read only happens once the other end has hung up.
    const int Err = N == 0 ? EIO : errno;
    if (Err == EINTR) continue;
    if (Err == EAGAIN) return 0;
    if (Err == EIO) S_->FHungUp = true;
    Errno = Err;
    return 0;
  }
}

void TCustomComPort::NoteHangUp() {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  S_->FHungUp = true;
}

bool TCustomComPort::Cancelled(const AsyncRequest& R) const {
  return S_->FRefuseRequests.load() || R.FAbortGeneration != S_->FAbortGeneration.load();
}

void TCustomComPort::WaitReady(int Fd, AsyncRequest& R, short PollEvents, Clock::time_point Deadline,
                               bool HasDeadline) {
  if (R.FWakeFd < 0) {
    R.FWakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (R.FWakeFd < 0) {
      R.FErrno = errno;
      return;
    }
  }
  {
    std::lock_guard<std::mutex> Lock(S_->FIoLock);
    S_->FWaiting.push_back(&R);
  }
  // Input the event thread queued before we were listed would wake no one: look first.
  const bool Queued = PollEvents == POLLIN && RxQueued() > 0;
  if (!Cancelled(R) && !Queued) {
    pollfd Fds[2] = {{Fd, PollEvents, 0}, {R.FWakeFd, POLLIN, 0}};
    timespec Ts{};
    if (HasDeadline) {
      const auto Left = std::max(Deadline - Clock::now(), Clock::duration::zero());
      const auto Ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Left).count();
      Ts.tv_sec = static_cast<time_t>(Ns / 1000000000);
      Ts.tv_nsec = static_cast<long>(Ns % 1000000000);
    }
    if (::ppoll(Fds, 2, HasDeadline ? &Ts : nullptr, nullptr) > 0 && (Fds[1].revents & POLLIN)) {
      eventfd_t Ignored;
      (void)::eventfd_read(R.FWakeFd, &Ignored);
    }
  }
  {
    std::lock_guard<std::mutex> Lock(S_->FIoLock);
    S_->FWaiting.erase(std::find(S_->FWaiting.begin(), S_->FWaiting.end(), &R));
  }
  S_->FWaitingGone.notify_all();
  if (Cancelled(R)) R.FErrno = ECANCELED;
}

// --- waiting and cancelling

int32_t TCustomComPort::WaitAsync(PAsync& AsyncPtr) {
  if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
  AsyncRequest& R = *AsyncPtr;
  if (R.FKind == TAsyncKind::None) return 0;
  const bool IsWrite = R.FKind == TAsyncKind::Write;
  if (R.FPending) {
    if (Cancelled(R))
      R.FErrno = ECANCELED;
    else if (IsWrite)
      ContinueWrite(R, true);
    else
      ContinueRead(R, true);
    R.FPending = false;
  }
  if (R.FErrno) throw EComPort(IsWrite ? CError_WriteFailed : CError_ReadFailed, R.FErrno);
  if (!IsWrite) {
    if (AnyLinkHas(&TComLink::OnRxActivity) && InputQueueCount() == 0) LinksRxActivity(false);
  } else if (R.FDone > 0) {
    // Links learn the bytes that went out, not those a time limit kept back.
    LinksTxData(R.FData.data(), R.FDone);
  }
  return R.FDone;
}

void TCustomComPort::AbortPendingIO() {
  if (Handle() < 0) throw EComPort(CError_PurgeFailed, EBADF);
  CancelPendingRequests();
}

void TCustomComPort::CancelPendingRequests() {
  std::lock_guard<std::mutex> Lock(S_->FIoLock);
  ++S_->FAbortGeneration;
  for (AsyncRequest* R : S_->FWaiting) (void)::eventfd_write(R->FWakeFd, 1);
}
