// The seam between the shared parts of unit CPort and its backend (internal): serial/posix
// (termios) or serial/win32 (the Win32 communications functions), one of them built. Each
// backend's PortIO.h declares `struct TPortIO : TPortIOBase` with these operations, which the
// shared parts call and nothing else of the device:
//   OpenDevice, CloseDevice, ApplyLine(Port, Dcb), ApplyTimeouts, ApplyBuffers  (EComPort 1, 7, 8, 9)
//   Probe(Path): 0 when the device can be opened as a port now, else the system's error code
//   NewRequest, FreeRequest: the backend's part of an AsyncRequest
//   StartWrite, StartRead: 0 while pending, else the bytes done; Finish: waits for a pending one;
//   CancelPending: ends the waits of every request started so far
//   InputQueueCount, LineErrors, ModemSignals  (EComPort 10, 11)
//   NewSignal, RaiseSignal, FreeSignal: the event thread's wake-up
//   RunEvents(Thread, Port): the thread's body until stopped (true) or a batch failed (false)
//   PurgeQueues: what a stopped thread discards of the device's queues
#pragma once

#include <vector>

#include "CPort.h"

struct TPortIOBase {
  static TCustomComPort::TState& State(TCustomComPort& Port) { return *Port.S_; }
  static AsyncRequest::TState& State(AsyncRequest& Request) { return *Request.S_; }
  static AsyncRequest& Request(PAsync Async) { return *Async; }
  static TAsyncKind& Kind(AsyncRequest& Request) { return Request.FKind; }
  static const std::vector<char>& Data(const AsyncRequest& Request) { return Request.FData; }
  static void TxActivity(TCustomComPort& Port, bool OnOff) { Port.LinksTxActivity(OnOff); }
  static void WakeEventThread(TCustomComPort& Port) { Port.WakeEventThread(); }
  static void NoteTransmitted(TCustomComPort& Port) { Port.NoteTransmitted(); }
};
