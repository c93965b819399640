// The input queue the event thread fills ahead of Read, so that it can see the event character
// and the fill level without the device offering a way to peek. Bytes pass the receive filter
// on their way in.
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "CPort.h"
#include "ComPortState.h"
#include "ComThread.h"
#include "DeviceCalls.h"
#include "PortDevice.h"
#include "PortIO.h"

int TPortIO::FillRxQueue(TCustomComPort& Port, int Fd, TComEvents& Found) {
  TPortIOState& S = Port.S_->IO;
  std::lock_guard<std::mutex> Lock(S.FRxLock);
  const size_t Queued = S.FRxQueue.size() - S.FRxHead;
  if (Queued >= S.FRxCapacity) return 0;
  size_t Raw = 0;
  return PullInput(Port, Fd, S.FRxCapacity - Queued, Found, Raw);
}

int TPortIO::PullInput(TCustomComPort& Port, int Fd, size_t Limit, TComEvents& Found, size_t& Raw) {
  TPortIOState& S = Port.S_->IO;
  Raw = 0;
  const size_t Queued = S.FRxQueue.size() - S.FRxHead;
  if (S.FRxHead > 0 && S.FRxHead >= Queued) {
    S.FRxQueue.erase(S.FRxQueue.begin(), S.FRxQueue.begin() + static_cast<std::ptrdiff_t>(S.FRxHead));
    S.FRxHead = 0;
  }
  char Chunk[4096];
  const ssize_t N = cport_device::Calls().Read(Fd, Chunk, std::min(sizeof Chunk, Limit));
  if (N <= 0) {
    const int Err = N == 0 ? EIO : errno;
    return Err == EAGAIN || Err == EINTR ? 0 : Err;
  }
  Raw = static_cast<size_t>(N);
  const size_t Start = S.FRxQueue.size();
  if (S.FRxFilter.Passes())
    S.FRxQueue.insert(S.FRxQueue.end(), Chunk, Chunk + N);
  else
    S.FRxFilter.Apply(Chunk, Raw, S.FRxQueue);
  const size_t Added = S.FRxQueue.size() - Start;
  if (Added == 0) return 0;
  Found.Include(evRxChar);
  if (std::memchr(S.FRxQueue.data() + Start, static_cast<unsigned char>(Port.FEventChar.load()), Added))
    Found.Include(evRxFlag);
  const size_t Threshold = (S.FRxCapacity * 8 + 9) / 10;
  if (Queued < Threshold && Queued + Added >= Threshold) Found.Include(evRx80Full);
  return 0;
}

int TPortIO::PullAllInput(TCustomComPort& Port, int Fd) {
  TPortIOState& S = Port.S_->IO;
  TComEvents Found;
  // As far as the queue's size, as a driver's queue holds no more: a peer that floods the line (or
  // sends nothing but dropped bytes) cannot keep the caller here.
  int Err = 0;
  for (size_t Raw = 0, Taken = 0; Err == 0 && RxRoom(Port) > 0 && Taken < S.FRxCapacity; Taken += Raw) {
    Err = PullInput(Port, Fd, RxRoom(Port), Found, Raw);
    if (Raw == 0) break;
  }
  if (!Found.Empty()) {
    // Bytes taken in here are announced by the event thread, as if it had read them.
    S.FRxPulled = S.FRxPulled | Found;
    Port.WakeEventThread();
  }
  return Err;
}

TComEvents TPortIO::TakePulledInput(TCustomComPort& Port) {
  TPortIOState& S = Port.S_->IO;
  std::lock_guard<std::mutex> Lock(S.FRxLock);
  const TComEvents Found = S.FRxPulled;
  S.FRxPulled = {};
  return Found;
}

void TPortIO::SetReceiveFilter(TCustomComPort& Port, const TDCB& Dcb, bool Accepted) {
  TPortIOState& S = Port.S_->IO;
  std::lock_guard<std::mutex> Lock(S.FRxLock);
  if (Accepted) {
    S.FRxFilter.Configure(Dcb.fNull, Dcb.fParity && Dcb.fErrorChar, Dcb.ErrorChar);
    return;
  }
  // A refused record may have left the driver's marking as it was, or not: ask the driver.
  bool Marked = false;
  if (cport_device::MarksReceivedErrors(Fd(Port), Marked) == 0) S.FRxFilter.SetMarked(Marked);
}

size_t TPortIO::RxRoom(const TCustomComPort& Port) {
  const TPortIOState& S = Port.S_->IO;
  const size_t Queued = S.FRxQueue.size() - S.FRxHead;
  return Queued < S.FRxCapacity ? S.FRxCapacity - Queued : 0;
}

bool TPortIO::RxQueueFull(TCustomComPort& Port) {
  TPortIOState& S = Port.S_->IO;
  std::lock_guard<std::mutex> Lock(S.FRxLock);
  return S.FRxQueue.size() - S.FRxHead >= S.FRxCapacity;
}

size_t TPortIO::RxQueued(TCustomComPort& Port) {
  TPortIOState& S = Port.S_->IO;
  std::lock_guard<std::mutex> Lock(S.FRxLock);
  return S.FRxQueue.size() - S.FRxHead;
}

void TPortIO::SignalWaitingReads(TCustomComPort& Port) {
  std::lock_guard<std::mutex> Lock(Port.S_->FIoLock);
  for (AsyncRequest* R : Port.S_->IO.FWaiting)
    if (R->FKind == TAsyncKind::Read) (void)::eventfd_write(R->FIo->WakeFd, 1);
}

void TPortIO::PurgeQueues(TCustomComPort& Port) {
  TPortIOState& S = Port.S_->IO;
  (void)cport_device::Discard(Fd(Port), S.FOutputDrains);
  std::lock_guard<std::mutex> Lock(S.FRxLock);
  S.FRxQueue.clear();
  S.FRxHead = 0;
}
