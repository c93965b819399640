// What the Win32 backend keeps of an open port (internal to unit CPort).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "CPort.h"

struct TPortIOState {
  // Every call a request makes on the device takes it and checks the handle first: none reaches a
  // handle CloseDevice let go, or one the next open was given again.
  std::mutex FDeviceLock;
  // Under the port's FIoLock: the requests waiting for the device, which CloseDevice waits for.
  std::atomic<uint64_t> FAbortGeneration{0};
  std::vector<AsyncRequest*> FWaiting;
  std::condition_variable FWaitingGone;
  // Under FDeviceLock. ClearCommError clears the driver's error flags each time it is asked, for a
  // queue count too: what it reported is kept here until LineErrors takes it.
  uint32_t FErrorFlags = 0;
  bool FHungUp = false;
  bool FHangUpReported = false;
  // Bytes reads have taken from the driver, so the event thread can tell a handler that took input
  // from one that left it queued.
  std::atomic<uint64_t> FBytesTaken{0};
};
