// Reading and writing on the termios backend: requests on the non-blocking descriptor, with the
// Win32 time limits computed here on CLOCK_MONOTONIC deadlines.
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
#include "PortIO.h"
#include "RequestLimits.h"
#include "WriteDrain.h"

using Clock = std::chrono::steady_clock;
using cport_limits::Limit;
using cport_limits::LimitFromMs;
using cport_limits::MaxDword;

AsyncRequest::TIo::~TIo() {
  if (WakeFd >= 0) ::close(WakeFd);
}

// --- starting requests

void TPortIO::StartWrite(TCustomComPort& Port, AsyncRequest& R) {
  if (!R.FIo) R.FIo = std::make_unique<AsyncRequest::TIo>();
  AsyncRequest::TIo& Io = *R.FIo;
  R.FCount = static_cast<int32_t>(R.FData.size());
  R.FDone = Io.Accepted = 0;
  Io.Queued = INT32_MAX;
  R.FErrno = 0;
  Io.AbortGeneration = Port.S_->IO.FAbortGeneration.load();
  Io.Start = Io.Progress = Clock::now();
  ContinueWrite(Port, R, false);
  if (R.FErrno) throw EComPort(CError_WriteFailed, R.FErrno);
  Port.LinksTxActivity(true);
}

void TPortIO::StartRead(TCustomComPort& Port, AsyncRequest& R) {
  if (!R.FIo) R.FIo = std::make_unique<AsyncRequest::TIo>();
  AsyncRequest::TIo& Io = *R.FIo;
  R.FDone = 0;
  R.FErrno = 0;
  Io.AbortGeneration = Port.S_->IO.FAbortGeneration.load();
  Io.Start = Io.LastByte = Clock::now();
  ContinueRead(Port, R, false);
  if (R.FErrno) throw EComPort(CError_ReadFailed, R.FErrno);
}

// --- carrying requests on

int TPortIO::SessionError(const TCustomComPort& Port, const AsyncRequest& R, int Fd) {
  if (Cancelled(Port, R)) return ECANCELED;
  return Fd >= 0 && Fd == TPortIO::Fd(Port) ? 0 : EBADF;
}

template <class TCall>
int TPortIO::OnSessionDevice(TCustomComPort& Port, const AsyncRequest& R, int Fd, TCall Call) {
  std::lock_guard<std::mutex> Lock(Port.S_->IO.FRxLock);
  if (const int Err = SessionError(Port, R, Fd)) return Err;
  return Call();
}

void TPortIO::ContinueWrite(TCustomComPort& Port, AsyncRequest& R, bool MayWait) {
  AsyncRequest::TIo& Io = *R.FIo;
  const int Fd = TPortIO::Fd(Port);
  const TDeviceTimeouts T = Port.DeviceTimeouts();
  const uint64_t TotalMs =
      uint64_t(T.WriteTotalTimeoutMultiplier) * uint64_t(R.FCount) + T.WriteTotalTimeoutConstant;
  Clock::time_point Deadline;
  const bool HasDeadline = TotalMs != 0 && LimitFromMs(TotalMs, Io.Start, Deadline);
  R.FPending = false;
  // Handing the bytes to the driver.
  while (Io.Accepted < R.FCount) {
    ssize_t N = -1;
    int Err = OnSessionDevice(Port, R, Fd, [&] {
      N = cport_device::Calls().Write(Fd, R.FData.data() + Io.Accepted, static_cast<size_t>(R.FCount - Io.Accepted));
      return N < 0 ? errno : 0;
    });
    if (N > 0) {
      Io.Accepted += static_cast<int32_t>(N);
      Io.Progress = Clock::now();
      Port.NoteTransmitted();
      continue;
    }
    if (N == 0) Err = EIO;
    if (Err == EINTR) continue;
    if (Err != EAGAIN) {
      if (Err == EIO) NoteHangUp(Port);
      R.FErrno = Err;
      return;
    }
    if (!MayWait) {
      R.FPending = true;
      return;
    }
    const Clock::time_point End = cport_write::GiveUpAt(HasDeadline, Deadline, Io.Progress);
    if (Clock::now() >= End) break;
    WaitReady(Port, Fd, R, POLLOUT, End, true);
    if (R.FErrno) return;
  }
  if (!Port.S_->IO.FOutputDrains) {
    R.FDone = Io.Accepted;
    return;
  }
  // Waiting until they have left it.
  for (;;) {
    int Queued = 0;
    const int Err = OnSessionDevice(Port, R, Fd, [&] { return cport_device::OutQueueCount(Fd, Queued); });
    if (Err != 0 && !cport_device::Unsupported(Err)) {
      if (Err == EIO) NoteHangUp(Port);
      R.FErrno = Err;
      return;
    }
    // A close flushes the queue only after cancelling: what is gone then may not have been sent.
    if (Cancelled(Port, R)) {
      R.FErrno = ECANCELED;
      return;
    }
    const Clock::time_point Now = Clock::now();
    if (Queued < Io.Queued) Io.Progress = Now;
    Io.Queued = Queued;
    const cport_write::TLook Look =
        cport_write::NextLook(Queued, Now, HasDeadline, Deadline, Io.Progress, Clock::duration(Port.S_->IO.FCharTime.load()));
    if (Look.Ended) {
      R.FDone = Io.Accepted - std::min(std::max(Queued, 0), Io.Accepted);
      // The rest is not sent later: the count says what the line got.
      if (Queued > 0) (void)OnSessionDevice(Port, R, Fd, [Fd] { return cport_device::FlushOutput(Fd); });
      return;
    }
    if (!MayWait) {
      R.FPending = true;
      return;
    }
    WaitReady(Port, Fd, R, 0, Now + Look.Wait, true);
    if (R.FErrno) return;
  }
}

void TPortIO::ContinueRead(TCustomComPort& Port, AsyncRequest& R, bool MayWait) {
  AsyncRequest::TIo& Io = *R.FIo;
  const int Fd = TPortIO::Fd(Port);
  const TDeviceTimeouts T = Port.DeviceTimeouts();
  const bool Immediate =
      T.ReadIntervalTimeout == MaxDword && T.ReadTotalTimeoutMultiplier == 0 && T.ReadTotalTimeoutConstant == 0;
  const bool FirstByteEnds = T.ReadIntervalTimeout == MaxDword && T.ReadTotalTimeoutMultiplier == MaxDword &&
                             T.ReadTotalTimeoutConstant != 0 && T.ReadTotalTimeoutConstant != MaxDword;
  const bool UsesInterval = T.ReadIntervalTimeout != 0 && T.ReadIntervalTimeout != MaxDword;
  const uint64_t TotalMs = FirstByteEnds ? T.ReadTotalTimeoutConstant
                                         : uint64_t(T.ReadTotalTimeoutMultiplier) * uint64_t(R.FCount) +
                                               T.ReadTotalTimeoutConstant;
  Clock::time_point TotalDeadline;
  const bool HasTotal = TotalMs != 0 && LimitFromMs(TotalMs, Io.Start, TotalDeadline);
  R.FPending = false;
  while (R.FDone < R.FCount) {
    int Err = 0;
    const int32_t N = TakeInput(Port, R, Fd, R.FBuffer + R.FDone, R.FCount - R.FDone, Err);
    // A line that hung up sends nothing more: what was taken ends the read as a time limit would,
    // rather than being lost with an error.
    if (Err == EIO && R.FDone > 0) return;
    if (Err) {
      R.FErrno = Err;
      return;
    }
    if (N > 0) {
      R.FDone += N;
      Io.LastByte = Clock::now();
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
      Limit(HasDeadline, Deadline, Io.LastByte + std::chrono::milliseconds(T.ReadIntervalTimeout));
    if (HasDeadline && Clock::now() >= Deadline) return;
    WaitReady(Port, Fd, R, POLLIN, Deadline, HasDeadline);
    if (R.FErrno) return;
  }
}

int32_t TPortIO::TakeInput(TCustomComPort& Port, const AsyncRequest& R, int Fd, char* Buffer, int32_t Count,
                           int& Errno) {
  TPortIOState& S = Port.S_->IO;
  std::lock_guard<std::mutex> Lock(S.FRxLock);
  // Before the queue too: it is the next session's once the port was closed and opened again.
  Errno = SessionError(Port, R, Fd);
  if (Errno) return 0;
  if (S.FRxQueue.size() == S.FRxHead && !S.FRxFilter.Passes()) {
    // Through the queue, which the filter fills; a read of nothing but dropped bytes reads on, as
    // far as one queue's worth before the read looks at its time limits again.
    TComEvents Unannounced;
    size_t Raw = 0;
    size_t Taken = 0;
    do {
      Errno = PullInput(Port, Fd, static_cast<size_t>(Count), Unannounced, Raw);
      Taken += Raw;
    } while (Errno == 0 && Raw > 0 && S.FRxQueue.size() == S.FRxHead && Taken < S.FRxCapacity);
    if (Errno == EIO) S.FHungUp = true;
    if (Errno || S.FRxQueue.size() == S.FRxHead) return 0;
  }
  const size_t Queued = S.FRxQueue.size() - S.FRxHead;
  const size_t Taken = std::min(Queued, static_cast<size_t>(Count));
  if (Taken > 0) {
    std::copy_n(S.FRxQueue.begin() + static_cast<std::ptrdiff_t>(S.FRxHead), Taken, Buffer);
    S.FRxHead += Taken;
    if (S.FRxHead == S.FRxQueue.size()) {
      S.FRxQueue.clear();
      S.FRxHead = 0;
    }
    if (Queued >= S.FRxCapacity) Port.WakeEventThread();
    return static_cast<int32_t>(Taken);
  }
  for (;;) {
    const ssize_t N = cport_device::Calls().Read(Fd, Buffer, static_cast<size_t>(Count));
    if (N > 0) return static_cast<int32_t>(N);
    // With VMIN=1 an empty read only happens once the other end has hung up.
    const int Err = N == 0 ? EIO : errno;
    if (Err == EINTR) continue;
    if (Err == EAGAIN) return 0;
    if (Err == EIO) S.FHungUp = true;
    Errno = Err;
    return 0;
  }
}

void TPortIO::NoteHangUp(TCustomComPort& Port) {
  std::lock_guard<std::mutex> Lock(Port.S_->IO.FRxLock);
  Port.S_->IO.FHungUp = true;
}

bool TPortIO::Cancelled(const TCustomComPort& Port, const AsyncRequest& R) {
  return Port.S_->FRefuseRequests.load() || R.FIo->AbortGeneration != Port.S_->IO.FAbortGeneration.load();
}

void TPortIO::WaitReady(TCustomComPort& Port, int Fd, AsyncRequest& R, short PollEvents, Clock::time_point Deadline,
                        bool HasDeadline) {
  AsyncRequest::TIo& Io = *R.FIo;
  if (Io.WakeFd < 0) {
    Io.WakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (Io.WakeFd < 0) {
      R.FErrno = errno;
      return;
    }
  }
  {
    std::lock_guard<std::mutex> Lock(Port.S_->FIoLock);
    Port.S_->IO.FWaiting.push_back(&R);
  }
  // Input the event thread queued before we were listed would wake no one: look first.
  const bool Queued = PollEvents == POLLIN && RxQueued(Port) > 0;
  if (!Cancelled(Port, R) && !Queued) {
    pollfd Fds[2] = {{Fd, PollEvents, 0}, {Io.WakeFd, POLLIN, 0}};
    timespec Ts{};
    if (HasDeadline) {
      const auto Left = std::max(Deadline - Clock::now(), Clock::duration::zero());
      const auto Ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Left).count();
      Ts.tv_sec = static_cast<time_t>(Ns / 1000000000);
      Ts.tv_nsec = static_cast<long>(Ns % 1000000000);
    }
    if (::ppoll(Fds, 2, HasDeadline ? &Ts : nullptr, nullptr) > 0 && (Fds[1].revents & POLLIN)) {
      eventfd_t Ignored;
      (void)::eventfd_read(Io.WakeFd, &Ignored);
    }
  }
  {
    std::lock_guard<std::mutex> Lock(Port.S_->FIoLock);
    Port.S_->IO.FWaiting.erase(std::find(Port.S_->IO.FWaiting.begin(), Port.S_->IO.FWaiting.end(), &R));
  }
  Port.S_->IO.FWaitingGone.notify_all();
  if (Cancelled(Port, R)) R.FErrno = ECANCELED;
}

// --- waiting and cancelling

void TPortIO::Finish(TCustomComPort& Port, AsyncRequest& R) {
  if (Cancelled(Port, R))
    R.FErrno = ECANCELED;
  else if (R.FKind == TAsyncKind::Write)
    ContinueWrite(Port, R, true);
  else
    ContinueRead(Port, R, true);
}

void TPortIO::CancelPending(TCustomComPort& Port) {
  std::lock_guard<std::mutex> Lock(Port.S_->FIoLock);
  ++Port.S_->IO.FAbortGeneration;
  for (AsyncRequest* R : Port.S_->IO.FWaiting) (void)::eventfd_write(R->FIo->WakeFd, 1);
}
