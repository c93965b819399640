// The working state of a port (internal to unit CPort): what its requests, its event thread and
// its closing share, with the locks that guard it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "CPort.h"
#include "ComThread.h"
#include "LifeLock.h"
#include "RxFilter.h"

struct TCustomComPort::TState {
  std::atomic<int> FHandle{-1};
  TDeviceTimeouts FDeviceTimeouts;  // under FIoLock
  // Time one character takes on the line (steady_clock ticks), for writes waiting for the driver.
  std::atomic<std::chrono::steady_clock::rep> FCharTime{0};
  // Only a serial line has bytes on their way out; a pseudo-terminal's peer has them once written.
  std::atomic<bool> FOutputDrains{false};
  // Attached on the owner thread, walked also by writers on other threads and smNone handlers.
  mutable std::mutex FLinkLock;
  std::vector<TComLink*> FLinks;
  std::atomic<bool> FHasRxBufLink{false};

  // Pending-request cancelling, shared with AbortPendingIO on other threads; CloseDevice waits
  // until no request waits on the descriptor any more.
  mutable std::mutex FIoLock;
  std::atomic<uint64_t> FAbortGeneration{0};
  // Set by Close before it cancels the pending requests, until it ends: later ones are refused.
  std::atomic<bool> FRefuseRequests{false};
  std::vector<AsyncRequest*> FWaiting;
  std::condition_variable FWaitingGone;

  // Input taken from the device ahead of Read (by the event thread, or through the receive filter),
  // events of input taken outside the thread; a hang-up seen by anyone; the device's counters as
  // LineErrors saw them last. Every device call of a read or write takes it too, so that none
  // reaches a descriptor CloseDevice let go (or the next open reused).
  std::mutex FRxLock;
  std::vector<char> FRxQueue;
  size_t FRxHead = 0;
  size_t FRxCapacity = 1024;
  TRxFilter FRxFilter;
  TComEvents FRxPulled;
  bool FHungUp = false;
  bool FHangUpReported = false;
  struct TLineCounters {
    int Frame = 0, Overrun = 0, Parity = 0, Brk = 0, BufOverrun = 0;
  } FErrorBase;
  bool FCountersSupported = true;

  // Open and Close run one at a time, also when an smNone handler calls them.
  std::unique_ptr<TLifeLock> FLifeLock = std::make_unique<TLifeLock>();
  // Both change under FThreadLock, which other threads take to reach the thread; FEventThread
  // also only under the life lock.
  std::unique_ptr<TComThread> FEventThread;
  std::vector<std::unique_ptr<TComThread>> FRetiredThreads;
  std::mutex FThreadLock;
  std::atomic<bool> FThreadCreated{false};
  // Close is under way; a Close asked for meanwhile (by a handler it serves, or by a handler on
  // the event thread it waits for) is left to it.
  bool FClosing = false;
  std::atomic<bool> FCloseAsked{false};
  // Counts the closes, so that a batch stops once its port was closed, also when reopened.
  std::atomic<uint32_t> FSession{0};
  // The owner is inside a thread-synchronised batch of this port (a handler may close it).
  int FInSyncedBatch = 0;

};
