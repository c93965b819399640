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
#include "ComThread.h"
#include "DeviceCalls.h"
#include "PortDevice.h"

int TCustomComPort::FillRxQueue(int Fd, TComEvents& Found) {
  std::lock_guard<std::mutex> Lock(FRxLock);
  const size_t Queued = FRxQueue.size() - FRxHead;
  if (Queued >= FRxCapacity) return 0;
  size_t Raw = 0;
  return PullInput(Fd, FRxCapacity - Queued, Found, Raw);
}

int TCustomComPort::PullInput(int Fd, size_t Limit, TComEvents& Found, size_t& Raw) {
  Raw = 0;
  const size_t Queued = FRxQueue.size() - FRxHead;
  if (FRxHead > 0 && FRxHead >= Queued) {
    FRxQueue.erase(FRxQueue.begin(), FRxQueue.begin() + static_cast<std::ptrdiff_t>(FRxHead));
    FRxHead = 0;
  }
  char Chunk[4096];
  const ssize_t N = cport_device::Calls().Read(Fd, Chunk, std::min(sizeof Chunk, Limit));
  if (N <= 0) {
    const int Err = N == 0 ? EIO : errno;
    return Err == EAGAIN || Err == EINTR ? 0 : Err;
  }
  Raw = static_cast<size_t>(N);
  const size_t Start = FRxQueue.size();
  if (FRxFilter.Passes())
    FRxQueue.insert(FRxQueue.end(), Chunk, Chunk + N);
  else
    FRxFilter.Apply(Chunk, Raw, FRxQueue);
  const size_t Added = FRxQueue.size() - Start;
  if (Added == 0) return 0;
  Found.Include(evRxChar);
  if (std::memchr(FRxQueue.data() + Start, static_cast<unsigned char>(FEventChar.load()), Added))
    Found.Include(evRxFlag);
  const size_t Threshold = (FRxCapacity * 8 + 9) / 10;
  if (Queued < Threshold && Queued + Added >= Threshold) Found.Include(evRx80Full);
  return 0;
}

int TCustomComPort::PullAllInput(int Fd) {
  TComEvents Found;
  // As far as the queue's size, as a driver's queue holds no more: a peer that floods the line (or
  // sends nothing but dropped bytes) cannot keep the caller here.
  int Err = 0;
  for (size_t Raw = 0, Taken = 0; Err == 0 && RxRoom() > 0 && Taken < FRxCapacity; Taken += Raw) {
    Err = PullInput(Fd, RxRoom(), Found, Raw);
    if (Raw == 0) break;
  }
  if (!Found.Empty()) {
    // Bytes taken in here are announced by the event thread, as if it had read them.
    FRxPulled = FRxPulled | Found;
    WakeEventThread();
  }
  return Err;
}

TComEvents TCustomComPort::TakePulledInput() {
  std::lock_guard<std::mutex> Lock(FRxLock);
  const TComEvents Found = FRxPulled;
  FRxPulled = {};
  return Found;
}

void TCustomComPort::SetReceiveFilter(const TDCB& Dcb, bool Accepted) {
  std::lock_guard<std::mutex> Lock(FRxLock);
  if (Accepted) {
    FRxFilter.Configure(Dcb.fNull, Dcb.fParity && Dcb.fErrorChar, Dcb.ErrorChar);
    return;
  }
  // A refused record may have left the driver's marking as it was, or not: ask the driver.
  bool Marked = false;
  if (cport_device::MarksReceivedErrors(Handle(), Marked) == 0) FRxFilter.SetMarked(Marked);
}

size_t TCustomComPort::RxRoom() const {
  const size_t Queued = FRxQueue.size() - FRxHead;
  return Queued < FRxCapacity ? FRxCapacity - Queued : 0;
}

bool TCustomComPort::RxQueueFull() {
  std::lock_guard<std::mutex> Lock(FRxLock);
  return FRxQueue.size() - FRxHead >= FRxCapacity;
}

size_t TCustomComPort::RxQueued() {
  std::lock_guard<std::mutex> Lock(FRxLock);
  return FRxQueue.size() - FRxHead;
}

void TCustomComPort::SignalWaitingReads() {
  std::lock_guard<std::mutex> Lock(FIoLock);
  for (AsyncRequest* R : FWaiting)
    if (R->FKind == TAsyncKind::Read) (void)::eventfd_write(R->FWakeFd, 1);
}

void TCustomComPort::PurgeQueues() {
  (void)cport_device::Discard(Handle(), FOutputDrains);
  std::lock_guard<std::mutex> Lock(FRxLock);
  FRxQueue.clear();
  FRxHead = 0;
}
