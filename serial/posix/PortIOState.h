// What the termios backend keeps of an open port (internal to unit CPort).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "CPort.h"
#include "RxFilter.h"

struct TPortIOState {
  // Time one character takes on the line (steady_clock ticks), for writes waiting for the driver.
  std::atomic<std::chrono::steady_clock::rep> FCharTime{0};
  // Only a serial line has bytes on their way out; a pseudo-terminal's peer has them once written.
  std::atomic<bool> FOutputDrains{false};

  // Under the port's FIoLock: the requests waiting on the descriptor, which CloseDevice waits for.
  std::atomic<uint64_t> FAbortGeneration{0};
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
};
