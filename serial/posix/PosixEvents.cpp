// The event thread's watch on the termios backend: polls the descriptor and the thread's signal,
// takes input into the port's queue, and looks at the modem lines, counters and output queue.
#include <poll.h>

#include <cerrno>

#include "ComPortState.h"
#include "ComThread.h"
#include "LineWatch.h"
#include "PortDevice.h"
#include "PortIO.h"

namespace {

// How often modem lines, counters and the output queue are looked at while asked for.
constexpr int LinePollMs = 30;

const TComEvents RxEvents{evRxChar, evRxFlag, evRx80Full};
const TComEvents LineEvents{evCTS, evDSR, evRLSD, evRing, evBreak, evError};

}  // namespace

bool TComThread::Run() {
  const int Fd = static_cast<int>(FComPort->Handle());
  const TComEvents Wanted = MaskToEvents(FMask);
  const bool WantRx = !(Wanted & RxEvents).Empty();
  TLineWatch Lines;
  if (!(Wanted & LineEvents).Empty()) Lines = TLineWatch(ReadLineState(Fd, true, true));
  bool HungUp = false;

  while (!FStop.load()) {
    const bool Listen = !HungUp && WantRx && !TPortIO::RxQueueFull(*FComPort);
    pollfd P[2] = {{FSignal.Fd(), POLLIN, 0}, {HungUp ? -1 : Fd, static_cast<short>(Listen ? POLLIN : 0), 0}};
    // After a hang-up only the signal is waited for: never a busy loop.
    const bool Polling = !HungUp && (Lines.Active() || FTxPending.load());
    if (::poll(P, 2, Polling ? LinePollMs : -1) < 0 && errno != EINTR) break;
    if (P[0].revents & POLLIN) FSignal.Clear();
    if (FStop.load()) break;

    TComEvents Found;
    bool LostDevice = (P[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    TComEvents Rx = TPortIO::TakePulledInput(*FComPort);
    if (!HungUp && !LostDevice && (P[1].revents & POLLIN)) LostDevice = TPortIO::FillRxQueue(*FComPort, Fd, Rx) != 0;
    if (!Rx.Empty()) {
      TPortIO::SignalWaitingReads(*FComPort);
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
      TPortIO::NoteHangUp(*FComPort);
      TPortIO::SignalWaitingReads(*FComPort);
      Found.Include(evError);
    }
    const uint32_t Batch = EventsToMask(Found) & FMask;
    if (Batch != 0 && !Dispatch(MaskToEvents(Batch))) return false;
  }
  return true;
}
