// The Win32 backend of unit CPort (internal): overlapped ReadFile and WriteFile on a handle from
// CreateFile, the driver's own time limits, WaitCommEvent on the event thread. A friend of the
// port and of its requests.
#pragma once

#include <windows.h>

#include <cstdint>

#include "CPort.h"

struct AsyncRequest::TIo {
  TIo();
  ~TIo();
  TIo(const TIo&) = delete;
  TIo& operator=(const TIo&) = delete;
  OVERLAPPED Overlapped{};
  HANDLE Wake = nullptr;  // AbortPendingIO sets it while the request waits
  DWORD CreateError = 0;
  // The call in flight, on the handle it was issued on.
  bool InFlight = false;
  HANDLE Device = INVALID_HANDLE_VALUE;
  uint64_t AbortGeneration = 0;
};

struct TPortIO {
  // Requests: Start* raise EComPort 2 or 3; Finish carries a pending one on until it ends.
  static void StartWrite(TCustomComPort& Port, AsyncRequest& R);
  static void StartRead(TCustomComPort& Port, AsyncRequest& R);
  static void Finish(TCustomComPort& Port, AsyncRequest& R);
  // Ends the waits of every request started so far.
  static void CancelPending(TCustomComPort& Port);
  static void ApplyTimeouts(TCustomComPort& Port, const TDeviceTimeouts& Timeouts);
  static void ApplyBuffers(TCustomComPort& Port, int32_t InputSize, int32_t OutputSize);
  // What a stopped event thread discards of the device's queues.
  static void PurgeQueues(TCustomComPort& Port);

  static HANDLE Device(const TCustomComPort& Port) { return reinterpret_cast<HANDLE>(Port.Handle()); }
  // "COM12" as \\.\COM12: without the device namespace only COM1..COM9 open.
  static std::string DevicePath(const std::string& Name);
  // With FDeviceLock held: ClearCommError, its error flags kept for LineErrors. False with the
  // error code in Error when the driver does not answer (a pulled adapter).
  static bool LineStatus(TCustomComPort& Port, HANDLE Device, COMSTAT& Status, DWORD& Error);
  static void NoteHangUp(TCustomComPort& Port);
  // What the driver holds of input now, 0 when it does not answer.
  static DWORD QueuedInput(TCustomComPort& Port);
  static uint64_t BytesTaken(const TCustomComPort& Port) { return Port.S_->IO.FBytesTaken.load(); }

 private:
  static bool Cancelled(const TCustomComPort& Port, const AsyncRequest& R);
  static void Prepare(TCustomComPort& Port, AsyncRequest& R);
  // Issues the read or write on the device of the port's session; Count 0 for a read of what the
  // driver holds now.
  static void Issue(TCustomComPort& Port, AsyncRequest& R, bool Write, DWORD Count);
  // Takes the result of the call in flight, waiting for it when MayWait (else it stays pending).
  static void Complete(TCustomComPort& Port, AsyncRequest& R, bool MayWait);
};
