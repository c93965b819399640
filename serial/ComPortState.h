// The working state of a port (internal to unit CPort): what its requests, its event thread and
// its closing share, with the locks that guard it. The device backend keeps its own part in IO.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "CPort.h"
#include "ComThread.h"
#include "LifeLock.h"
#include "PortIOState.h"

struct TCustomComPort::TState {
  std::atomic<intptr_t> FHandle{-1};
  TDeviceTimeouts FDeviceTimeouts;  // under FIoLock
  // Attached on the owner thread, walked also by writers on other threads and smNone handlers.
  mutable std::mutex FLinkLock;
  std::vector<TComLink*> FLinks;
  std::atomic<bool> FHasRxBufLink{false};

  // Pending-request cancelling, shared with AbortPendingIO on other threads.
  mutable std::mutex FIoLock;
  // Set by Close before it cancels the pending requests, until it ends: later ones are refused.
  std::atomic<bool> FRefuseRequests{false};

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

  TPortIOState IO;
};
