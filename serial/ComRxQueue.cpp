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

int TCustomComPort::FillRxQueue(int Fd, TComEvents& Found) {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  const size_t Queued = S_->FRxQueue.size() - S_->FRxHead;
  if (Queued >= S_->FRxCapacity) return 0;
  size_t Raw = 0;
  return PullInput(Fd, S_->FRxCapacity - Queued, Found, Raw);
}

int TCustomComPort::PullInput(int Fd, size_t Limit, TComEvents& Found, size_t& Raw) {
  Raw = 0;
  const size_t Queued = S_->FRxQueue.size() - S_->FRxHead;
  if (S_->FRxHead > 0 && S_->FRxHead >= Queued) {
    S_->FRxQueue.erase(S_->FRxQueue.begin(), S_->FRxQueue.begin() + static_cast<std::ptrdiff_t>(S_->FRxHead));
    S_->FRxHead = 0;
  }
  char Chunk[4096];
  const ssize_t N = cport_device::Calls().Read(Fd, Chunk, std::min(sizeof Chunk, Limit));
  if (N <= 0) {
    const int Err = N == 0 ? EIO : errno;
    return Err == EAGAIN || Err == EINTR ? 0 : Err;
  }
  Raw = static_cast<size_t>(N);
  const size_t Start = S_->FRxQueue.size();
  if (S_->FRxFilter.Passes())
    S_->FRxQueue.insert(S_->FRxQueue.end(), Chunk, Chunk + N);
  else
    S_->FRxFilter.Apply(Chunk, Raw, S_->FRxQueue);
  const size_t Added = S_->FRxQueue.size() - Start;
  if (Added == 0) return 0;
  Found.Include(evRxChar);
  if (std::memchr(S_->FRxQueue.data() + Start, static_cast<unsigned char>(FEventChar.load()), Added))
    Found.Include(evRxFlag);
  const size_t Threshold = (S_->FRxCapacity * 8 + 9) / 10;
  if (Queued < Threshold && Queued + Added >= Threshold) Found.Include(evRx80Full);
  return 0;
}

int TCustomComPort::PullAllInput(int Fd) {
  TComEvents Found;
  // As far as the queue's size, as a driver's queue holds no more: a peer that floods the line (or
  // sends nothing but dropped bytes) cannot keep the caller here.
  int Err = 0;
  for (size_t Raw = 0, Taken = 0; Err == 0 && RxRoom() > 0 && Taken < S_->FRxCapacity; Taken += Raw) {
    Err = PullInput(Fd, RxRoom(), Found, Raw);
    if (Raw == 0) break;
  }
  if (!Found.Empty()) {
    // Bytes taken in here are announced by the event thread, as if it had read them.
    S_->FRxPulled = S_->FRxPulled | Found;
    WakeEventThread();
  }
  return Err;
}

TComEvents TCustomComPort::TakePulledInput() {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  const TComEvents Found = S_->FRxPulled;
  S_->FRxPulled = {};
  return Found;
}

void TCustomComPort::SetReceiveFilter(const TDCB& Dcb, bool Accepted) {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  if (Accepted) {
    S_->FRxFilter.Configure(Dcb.fNull, Dcb.fParity && Dcb.fErrorChar, Dcb.ErrorChar);
    return;
  }
  // A refused record may have left the driver's marking as it was, or not: ask the driver.
  bool Marked = false;
  if (cport_device::MarksReceivedErrors(Handle(), Marked) == 0) S_->FRxFilter.SetMarked(Marked);
}

size_t TCustomComPort::RxRoom() const {
  const size_t Queued = S_->FRxQueue.size() - S_->FRxHead;
  return Queued < S_->FRxCapacity ? S_->FRxCapacity - Queued : 0;
}

bool TCustomComPort::RxQueueFull() {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  return S_->FRxQueue.size() - S_->FRxHead >= S_->FRxCapacity;
}

size_t TCustomComPort::RxQueued() {
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  return S_->FRxQueue.size() - S_->FRxHead;
}

void TCustomComPort::SignalWaitingReads() {
  std::lock_guard<std::mutex> Lock(S_->FIoLock);
  for (AsyncRequest* R : S_->FWaiting)
    if (R->FKind == TAsyncKind::Read) (void)::eventfd_write(R->FWakeFd, 1);
}

void TCustomComPort::PurgeQueues() {
  (void)cport_device::Discard(Handle(), S_->FOutputDrains);
  std::lock_guard<std::mutex> Lock(S_->FRxLock);
  S_->FRxQueue.clear();
  S_->FRxHead = 0;
}
