// Reading and writing on the Win32 backend: overlapped calls that the driver ends by its own
// time limits, waited for together with the request's wake-up.
#include <windows.h>

#include <algorithm>

#include "CPort.h"
#include "ComPortState.h"
#include "PortIO.h"
#include "RequestLimits.h"

AsyncRequest::TIo::TIo() {
  Overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!Overlapped.hEvent || !Wake) CreateError = GetLastError();
}

AsyncRequest::TIo::~TIo() {
  // The driver writes into the request until its call ends: it must end first.
  if (InFlight) {
    (void)CancelIoEx(Device, &Overlapped);
    (void)WaitForSingleObject(Overlapped.hEvent, INFINITE);
  }
  if (Overlapped.hEvent) CloseHandle(Overlapped.hEvent);
  if (Wake) CloseHandle(Wake);
}

bool TPortIO::Cancelled(const TCustomComPort& Port, const AsyncRequest& R) {
  return Port.S_->FRefuseRequests.load() || R.FIo->AbortGeneration != Port.S_->IO.FAbortGeneration.load();
}

void TPortIO::Prepare(TCustomComPort& Port, AsyncRequest& R) {
  if (!R.FIo) R.FIo = std::make_unique<AsyncRequest::TIo>();
  // A request given again before its last call was waited for: that call ends now.
  if (R.FIo->InFlight) {
    (void)CancelIoEx(R.FIo->Device, &R.FIo->Overlapped);
    Complete(Port, R, true);
  }
  R.FDone = 0;
  R.FErrno = 0;
  R.FPending = false;
  R.FIo->AbortGeneration = Port.S_->IO.FAbortGeneration.load();
}

bool TPortIO::LineStatus(TCustomComPort& Port, HANDLE Device, COMSTAT& Status, DWORD& Error) {
  DWORD Flags = 0;
  Status = COMSTAT{};
  if (!ClearCommError(Device, &Flags, &Status)) {
    Error = GetLastError();
    return false;
  }
  Port.S_->IO.FErrorFlags |= Flags;
  return true;
}

DWORD TPortIO::QueuedInput(TCustomComPort& Port) {
  std::lock_guard<std::mutex> Lock(Port.S_->IO.FDeviceLock);
  COMSTAT Status;
  DWORD Error = 0;
  return LineStatus(Port, Device(Port), Status, Error) ? Status.cbInQue : 0;
}

void TPortIO::NoteHangUp(TCustomComPort& Port) {
  std::lock_guard<std::mutex> Lock(Port.S_->IO.FDeviceLock);
  Port.S_->IO.FHungUp = true;
}

void TPortIO::Issue(TCustomComPort& Port, AsyncRequest& R, bool Write, DWORD Count) {
  AsyncRequest::TIo& Io = *R.FIo;
  if (Io.CreateError) {
    R.FErrno = static_cast<int>(Io.CreateError);
    return;
  }
  std::lock_guard<std::mutex> Lock(Port.S_->IO.FDeviceLock);
  if (Cancelled(Port, R)) {
    R.FErrno = ERROR_OPERATION_ABORTED;
    return;
  }
  const HANDLE H = Device(Port);
  if (H == INVALID_HANDLE_VALUE) {
    R.FErrno = ERROR_INVALID_HANDLE;
    return;
  }
  if (!Write && Count == 0) {
    // "Return at once with what has arrived": a read of just what the driver holds, which ends
    // at once on every driver.
    COMSTAT Status;
    DWORD Error = 0;
    if (!LineStatus(Port, H, Status, Error)) {
      R.FErrno = static_cast<int>(Error);
      return;
    }
    Count = std::min<DWORD>(Status.cbInQue, static_cast<DWORD>(R.FCount));
    if (Count == 0) return;
  }
  const HANDLE Event = Io.Overlapped.hEvent;
  Io.Overlapped = OVERLAPPED{};
  Io.Overlapped.hEvent = Event;
  ResetEvent(Event);
  const BOOL Ok = Write ? WriteFile(H, R.FData.data(), Count, nullptr, &Io.Overlapped)
                        : ReadFile(H, R.FBuffer, Count, nullptr, &Io.Overlapped);
  if (!Ok && GetLastError() != ERROR_IO_PENDING) {
    R.FErrno = static_cast<int>(GetLastError());
    return;
  }
  Io.Device = H;
  Io.InFlight = true;
}

void TPortIO::Complete(TCustomComPort& Port, AsyncRequest& R, bool MayWait) {
  AsyncRequest::TIo& Io = *R.FIo;
  if (!Io.InFlight) return;
  if (!HasOverlappedIoCompleted(&Io.Overlapped)) {
    if (!MayWait) {
      R.FPending = true;
      return;
    }
    TPortIOState& S = Port.S_->IO;
    {
      std::lock_guard<std::mutex> Lock(Port.S_->FIoLock);
      S.FWaiting.push_back(&R);
    }
    if (!Cancelled(Port, R)) {
      const HANDLE Waits[2] = {Io.Overlapped.hEvent, Io.Wake};
      (void)WaitForMultipleObjects(2, Waits, FALSE, INFINITE);
    }
    // Cancelled while still listed, so that a close waits for it before letting the handle go.
    if (Cancelled(Port, R)) (void)CancelIoEx(Io.Device, &Io.Overlapped);
    {
      std::lock_guard<std::mutex> Lock(Port.S_->FIoLock);
      S.FWaiting.erase(std::find(S.FWaiting.begin(), S.FWaiting.end(), &R));
    }
    S.FWaitingGone.notify_all();
  }
  DWORD Done = 0;
  const BOOL Ok = GetOverlappedResult(Io.Device, &Io.Overlapped, &Done, TRUE);
  const DWORD Error = Ok ? 0 : GetLastError();
  Io.InFlight = false;
  R.FPending = false;
  R.FDone = static_cast<int32_t>(Done);
  if (!Ok) R.FErrno = static_cast<int>(Error);
  if (R.Kind() == TAsyncKind::Read) Port.S_->IO.FBytesTaken += Done;
}

void TPortIO::StartWrite(TCustomComPort& Port, AsyncRequest& R) {
  Prepare(Port, R);
  R.FCount = static_cast<int32_t>(R.FData.size());
  if (R.FCount > 0) Issue(Port, R, true, static_cast<DWORD>(R.FCount));
  if (!R.FErrno) Complete(Port, R, false);
  if (R.FErrno) throw EComPort(CError_WriteFailed, R.FErrno);
  Port.LinksTxActivity(true);
  Port.NoteTransmitted();
}

void TPortIO::StartRead(TCustomComPort& Port, AsyncRequest& R) {
  Prepare(Port, R);
  const TDeviceTimeouts T = Port.DeviceTimeouts();
  const bool Immediate = T.ReadIntervalTimeout == cport_limits::MaxDword && T.ReadTotalTimeoutMultiplier == 0 &&
                         T.ReadTotalTimeoutConstant == 0;
  if (R.FCount > 0) Issue(Port, R, false, Immediate ? 0 : static_cast<DWORD>(R.FCount));
  // What was there is coming: an immediate read never stays pending.
  if (!R.FErrno) Complete(Port, R, Immediate);
  if (R.FErrno) throw EComPort(CError_ReadFailed, R.FErrno);
}

void TPortIO::Finish(TCustomComPort& Port, AsyncRequest& R) { Complete(Port, R, true); }

void TPortIO::CancelPending(TCustomComPort& Port) {
  std::lock_guard<std::mutex> Lock(Port.S_->FIoLock);
  ++Port.S_->IO.FAbortGeneration;
  for (AsyncRequest* R : Port.S_->IO.FWaiting) SetEvent(R->FIo->Wake);
}
