// The event thread: waits on the device and its signal, turns what it sees into batches of
// events and dispatches them by SyncMethod.
#include "ComThread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "ComPortState.h"
#include "HandOver.h"
#include "LineWatch.h"
#include "PortDevice.h"

namespace {

// How often modem lines, counters and the output queue are looked at while asked for.
constexpr int LinePollMs = 30;

const TComEvents RxEvents{evRxChar, evRxFlag, evRx80Full};
const TComEvents LineEvents{evCTS, evDSR, evRLSD, evRing, evBreak, evError};

// The TComThread whose body runs on this thread, if any.
thread_local const TComThread* CurrentThread = nullptr;

}  // namespace

TComThread::TComThread(TCustomComPort* AComPort)
    : FComPort(AComPort), FMask(EventsToMask(AComPort->Events())) {
  FSignalFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (FSignalFd < 0) throw EComPort(CError_OpenFailed, errno);
}

TComThread::~TComThread() {
  Withdraw();
  Join();
  ::close(FSignalFd);
}

void TComThread::Start() {
  try {
    FThread = std::thread(&TComThread::Execute, this);
  } catch (const std::system_error& E) {
    throw EComPort(CError_OpenFailed, E.code().value());
  }
}

void TComThread::Stop() {
  FStop = true;
  (void)::eventfd_write(FSignalFd, 1);
  cport_handover::WakeAll();
}

void TComThread::Withdraw() {
  FWithdraw = true;
  Stop();
}

void TComThread::Retire() {
  FRetired = true;
  Stop();
}

void TComThread::Join() {
  if (FThread.joinable()) FThread.join();
}

bool TComThread::IsCurrent() const { return CurrentThread == this; }

bool TComThread::OnEventThread() { return CurrentThread != nullptr; }

void TComThread::Wake() { (void)::eventfd_write(FSignalFd, 1); }

void TComThread::NoteTransmit() {
  if (!(FMask & EventsToMask({evTxEmpty}))) return;
  FTxPending = true;
  Wake();
}

void TComThread::Execute() {
  CurrentThread = this;
  bool Stopped = false;
  // Whatever escapes the body (a failed allocation, a wake-up hook that throws) ends the thread
  // as a failed handler does.
  try {
    Stopped = Run();
  } catch (...) {
  }
  // A stop discards what the queues hold, unless the device was closed under the thread already.
  if (Stopped && !FRetired) FComPort->PurgeQueues();
  FEnded = true;
  cport_handover::WakeAll();
}

bool TComThread::Run() {
  const int Fd = FComPort->Handle();
  const TComEvents Wanted = MaskToEvents(FMask);
  const bool WantRx = !(Wanted & RxEvents).Empty();
  TLineWatch Lines;
  if (!(Wanted & LineEvents).Empty()) Lines = TLineWatch(ReadLineState(Fd, true, true));
  bool HungUp = false;

  while (!FStop.load()) {
    const bool Listen = !HungUp && WantRx && !FComPort->RxQueueFull();
    pollfd P[2] = {{FSignalFd, POLLIN, 0}, {HungUp ? -1 : Fd, static_cast<short>(Listen ? POLLIN : 0), 0}};
    // After a hang-up only the signal is waited for: never a busy loop.
    const bool Polling = !HungUp && (Lines.Active() || FTxPending.load());
    if (::poll(P, 2, Polling ? LinePollMs : -1) < 0 && errno != EINTR) break;
    if (P[0].revents & POLLIN) {
      eventfd_t Ignored;
      (void)::eventfd_read(FSignalFd, &Ignored);
    }
    if (FStop.load()) break;

    TComEvents Found;
    bool LostDevice = (P[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    TComEvents Rx = FComPort->TakePulledInput();
    if (!HungUp && !LostDevice && (P[1].revents & POLLIN)) LostDevice = FComPort->FillRxQueue(Fd, Rx) != 0;
    if (!Rx.Empty()) {
      FComPort->SignalWaitingReads();
      Found = Found | Rx;
    }
    if (!HungUp && FTxPending.exchange(false)) {
      int Out = 0;
      if (cport_device::OutQueueCount(Fd, Out) != 0 || Out == 0)
        Found.Include(evTxEmpty);
      else
        FTxPending = true;
    }
    if (!HungUp && Lines.Active())
      Found = Found | Lines.Next(ReadLineState(Fd, Lines.WantsCounters(), Lines.WantsLines()), LostDevice);
    if (LostDevice && !HungUp) {
      HungUp = true;
      FComPort->NoteHangUp();
      FComPort->SignalWaitingReads();
      Found.Include(evError);
    }
    const uint32_t Batch = EventsToMask(Found) & FMask;
    if (Batch != 0 && !Dispatch(MaskToEvents(Batch))) return false;
  }
  return true;
}

bool TComThread::Dispatch(TComEvents Batch) {
  TCustomComPort* Port = FComPort;
  switch (Port->SyncMethod()) {
    case smThreadSync:
      return !cport_handover::Synchronize(
          Port,
          [Port, Batch] {
            struct TDepth {
              int& N;
              explicit TDepth(int& R) : N(R) { ++N; }
              ~TDepth() { --N; }
            } Depth(Port->S_->FInSyncedBatch);
            Port->HandleEvents(Batch);
          },
          FWithdraw);
    case smWindowSync:
      for (TComEvent Ev : {evError, evRxChar, evTxEmpty, evBreak, evRing, evCTS, evDSR, evRxFlag, evRLSD,
                           evRx80Full}) {
        if (!Batch.Contains(Ev)) continue;
        cport_handover::Post(Port, Ev, [Port, Ev] {
          if (!Port->Connected()) return;
          try {
            Port->HandleEvent(Ev);
          } catch (const std::exception& E) {
            ShowComError(E);
          } catch (...) {
            ShowComError(std::runtime_error("unknown error in serial event handling"));
          }
        });
      }
      return true;
    case smNone:
      try {
        Port->HandleEvents(Batch);
        return true;
      } catch (...) {
        return false;
      }
  }
  return false;
}
