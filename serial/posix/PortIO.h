// The termios backend of unit CPort (internal): what the shared parts of the port ask of the
// device, and the helpers it works with. A friend of the port and of its requests.
#pragma once

#include <poll.h>

#include <chrono>
#include <cstdint>

#include "CPort.h"

struct AsyncRequest::TIo {
  // A write: bytes the driver took, what its output queue held at the last look, when a byte last
  // went to it or left it.
  int32_t Accepted = 0;
  int32_t Queued = 0;
  std::chrono::steady_clock::time_point Progress;
  uint64_t AbortGeneration = 0;
  std::chrono::steady_clock::time_point Start;
  std::chrono::steady_clock::time_point LastByte;
  int WakeFd = -1;  // eventfd that AbortPendingIO signals while the request waits
  ~TIo();
};

struct TPortIO {
  using Clock = std::chrono::steady_clock;

  // Requests: Start* raise EComPort 2 or 3; Finish carries a pending one on until it ends.
  static void StartWrite(TCustomComPort& Port, AsyncRequest& R);
  static void StartRead(TCustomComPort& Port, AsyncRequest& R);
  static void Finish(TCustomComPort& Port, AsyncRequest& R);
  // Ends the waits of every request started so far.
  static void CancelPending(TCustomComPort& Port);
  static void ApplyTimeouts(TCustomComPort&, const TDeviceTimeouts&) {}
  static void ApplyBuffers(TCustomComPort& Port, int32_t InputSize, int32_t OutputSize);
  // What a stopped event thread discards of the device's queues.
  static void PurgeQueues(TCustomComPort& Port);

  // The event thread's part of the input queue (serial/posix/PosixRxQueue.cpp).
  // Moves waiting input into the queue; Found gets evRxChar, evRxFlag, evRx80Full.
  static int FillRxQueue(TCustomComPort& Port, int Fd, TComEvents& Found);
  // Events of input taken in outside the event thread since it last asked.
  static TComEvents TakePulledInput(TCustomComPort& Port);
  static bool RxQueueFull(TCustomComPort& Port);
  static void SignalWaitingReads(TCustomComPort& Port);
  static void NoteHangUp(TCustomComPort& Port);

 private:
  friend class TCustomComPort;
  static int Fd(const TCustomComPort& Port) { return static_cast<int>(Port.Handle()); }
  static void ContinueRead(TCustomComPort& Port, AsyncRequest& R, bool MayWait);
  static void ContinueWrite(TCustomComPort& Port, AsyncRequest& R, bool MayWait);
  static void WaitReady(TCustomComPort& Port, int Fd, AsyncRequest& R, short PollEvents, Clock::time_point Deadline,
                        bool HasDeadline);
  static bool Cancelled(const TCustomComPort& Port, const AsyncRequest& R);
  static int32_t TakeInput(TCustomComPort& Port, const AsyncRequest& R, int Fd, char* Buffer, int32_t Count,
                           int& Errno);
  // With FRxLock held: 0 while Fd is still the descriptor of the session R was started in, else
  // the errno that ends it. A close takes the handle out under that lock and cancels every
  // request before the next open can hand out the same descriptor number.
  static int SessionError(const TCustomComPort& Port, const AsyncRequest& R, int Fd);
  // Runs Call, a device call on Fd returning 0 or an errno, under FRxLock once SessionError passes.
  template <class TCall>
  static int OnSessionDevice(TCustomComPort& Port, const AsyncRequest& R, int Fd, TCall Call);
  // With FRxLock held: reads at most Limit bytes (Raw of them came) through the receive filter into
  // the queue; errno of a failed read, 0 for none waiting.
  static int PullInput(TCustomComPort& Port, int Fd, size_t Limit, TComEvents& Found, size_t& Raw);
  // With FRxLock held: takes in all the driver holds, for the event thread to announce.
  static int PullAllInput(TCustomComPort& Port, int Fd);
  // The filter for the record the driver accepted, or for what it kept when it refused the record.
  static void SetReceiveFilter(TCustomComPort& Port, const TDCB& Dcb, bool Accepted);
  // With FRxLock held: what the queue takes before it holds InputSize bytes.
  static size_t RxRoom(const TCustomComPort& Port);
  static size_t RxQueued(TCustomComPort& Port);
};
