// TComThread: the event thread of an open port (internal to unit CPort).
#pragma once

#include <atomic>
#include <thread>

#include "CPort.h"

class TComThread {
 public:
  // Takes the event mask from the port's Events and starts waiting; EComPort code 1 on failure.
  explicit TComThread(TCustomComPort* AComPort);
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  void Stop();
  // Stops without waiting for its hand-over: a call not yet started is dropped, a started one
  // (the owner is inside it) is left to finish.
  void Withdraw();
  bool Ended() const { return FEnded.load(); }
  void Join();
  // The port has room for input again, or has just written: look again.
  void Wake();
  void NoteTransmit();

 private:
  void Execute();
  bool Dispatch(TComEvents Batch);

  TCustomComPort* FComPort;
  uint32_t FMask;
  int FSignalFd = -1;
  std::atomic<bool> FStop{false};
  std::atomic<bool> FWithdraw{false};
  std::atomic<bool> FEnded{false};
  std::atomic<bool> FTxPending{false};
  std::thread FThread;
};
