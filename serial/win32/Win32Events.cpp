// The event thread's watch on the Win32 backend: WaitCommEvent on the port's mask, waited for
// together with the thread's signal.
#include <windows.h>

#include "ComPortState.h"
#include "ComThread.h"
#include "PortIO.h"

namespace {

constexpr DWORD ModemLineEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;
// How long the thread waits before it asks again when the driver repeats itself (below).
constexpr DWORD RepeatPauseMs = 10;

// The mask the driver takes: one that refuses modem-line events (a virtual port has no lines)
// watches the rest. Some take them into the mask and refuse only the wait (below).
DWORD SetMask(HANDLE Device, DWORD Mask) {
  if (SetCommMask(Device, Mask)) return Mask;
  const DWORD Rest = Mask & ~ModemLineEvents;
  return Rest != Mask && SetCommMask(Device, Rest) ? Rest : 0;
}

}  // namespace

bool TComThread::Run() {
  const HANDLE Device = TPortIO::Device(*FComPort);
  DWORD Mask = SetMask(Device, FMask);
  OVERLAPPED Overlapped{};
  Overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!Overlapped.hEvent) return false;
  bool HungUp = Mask == 0;
  DWORD QueuedAfterBatch = 0;
  uint64_t TakenAtBatch = 0;
  bool Result = true;

  while (!FStop.load()) {
    if (HungUp) {
      (void)WaitForSingleObject(FSignal.Handle(), INFINITE);
      continue;
    }
    DWORD Events = 0;
    ResetEvent(Overlapped.hEvent);
    bool Answered = WaitCommEvent(Device, &Events, &Overlapped) != 0;
    const bool AtOnce = Answered;
    DWORD Error = Answered ? 0 : GetLastError();
    if (Error == ERROR_IO_PENDING) {
      const HANDLE Waits[2] = {FSignal.Handle(), Overlapped.hEvent};
      if (WaitForMultipleObjects(2, Waits, FALSE, INFINITE) == WAIT_OBJECT_0)
        (void)CancelIoEx(Device, &Overlapped);
      DWORD Ignored = 0;
      Answered = GetOverlappedResult(Device, &Overlapped, &Ignored, TRUE) != 0;
      Error = Answered ? 0 : GetLastError();
    }
    if (FStop.load()) break;
    // A wait cut short (by the signal, or by a driver that ends its waits on a clock) is asked again.
    if (Error == ERROR_OPERATION_ABORTED) continue;
    if (Error == ERROR_NOT_SUPPORTED && (Mask & ModemLineEvents)) {
      Mask = SetMask(Device, Mask & ~ModemLineEvents);
      HungUp = Mask == 0;
      continue;
    }
    TComEvents Found;
    if (!Answered) {
      HungUp = true;
      TPortIO::NoteHangUp(*FComPort);
      Found.Include(evError);
    } else {
      Found = MaskToEvents(Events & Mask);
    }
    // A driver that reports waiting input for as long as it waits (rather than once, as it comes)
    // would keep the thread busy: the count the last batch left is no news, unless a handler has
    // taken input since that batch began (whatever is queued then came while it read, or after).
    if (AtOnce && Found.Contains(evRxChar)) {
      const DWORD Queued = TPortIO::QueuedInput(*FComPort);
      if (Queued == 0 || (Queued == QueuedAfterBatch && TPortIO::BytesTaken(*FComPort) == TakenAtBatch)) {
        Found.Exclude(evRxChar);
        if (Found.Empty()) (void)WaitForSingleObject(FSignal.Handle(), RepeatPauseMs);
      }
    }
    if (Found.Empty()) continue;
    // Before the handlers run: under smWindowSync they run later, on the owner's thread.
    if (Found.Contains(evRxChar)) TakenAtBatch = TPortIO::BytesTaken(*FComPort);
    if (!Dispatch(Found)) {
      Result = false;
      break;
    }
    if (Found.Contains(evRxChar)) QueuedAfterBatch = TPortIO::QueuedInput(*FComPort);
  }
  CloseHandle(Overlapped.hEvent);
  return Result;
}
