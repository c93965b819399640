// The input queue the event thread fills ahead of Read, so that it can see the event character
// and the fill level without the device offering a way to peek.
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "CPort.h"
#include "DeviceCalls.h"
#include "PortDevice.h"

int TCustomComPort::FillRxQueue(int Fd, TComEvents& Found) {
  std::lock_guard<std::mutex> Lock(FRxLock);
  const size_t Queued = FRxQueue.size() - FRxHead;
  if (Queued >= FRxCapacity) return 0;
  if (FRxHead > 0 && FRxHead >= Queued) {
    FRxQueue.erase(FRxQueue.begin(), FRxQueue.begin() + static_cast<std::ptrdiff_t>(FRxHead));
    FRxHead = 0;
  }
  char Chunk[4096];
  const ssize_t N = cport_device::Calls().Read(Fd, Chunk, std::min(sizeof Chunk, FRxCapacity - Queued));
  if (N <= 0) {
    const int Err = N == 0 ? EIO : errno;
    return Err == EAGAIN || Err == EINTR ? 0 : Err;
  }
  FRxQueue.insert(FRxQueue.end(), Chunk, Chunk + N);
  Found.Include(evRxChar);
  if (std::memchr(Chunk, static_cast<unsigned char>(FEventChar.load()), static_cast<size_t>(N)))
    Found.Include(evRxFlag);
  const size_t Threshold = (FRxCapacity * 8 + 9) / 10;
  if (Queued < Threshold && Queued + static_cast<size_t>(N) >= Threshold) Found.Include(evRx80Full);
  return 0;
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

void TCustomComPort::PurgeInput() {
  (void)cport_device::Flush(Handle());
  std::lock_guard<std::mutex> Lock(FRxLock);
  FRxQueue.clear();
  FRxHead = 0;
}
