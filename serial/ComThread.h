// TComThread: the event thread of an open port (internal to unit CPort).
#pragma once

#include <atomic>
#include <thread>

#include "CPort.h"
#include "WakeSignal.h"

class TComThread {
 public:
  // Takes the event mask from the port's Events; EComPort code 1 on failure. Start lets it run, so
  // the port can publish the object before the thread can reach it.
  explicit TComThread(TCustomComPort* AComPort);
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  void Start();
  void Stop();
  // Stops without waiting for its hand-over: a call not yet started is dropped, a started one
  // (the owner is inside it) is left to finish.
  void Withdraw();
  // Stops from the thread's own handler, which closes the device itself: nothing is purged.
  void Retire();
  bool Ended() const { return FEnded.load(); }
  void Join();
  // Whether the calling thread is this one, or any port's event thread.
  bool IsCurrent() const;
  static bool OnEventThread();
  // The port has room for input again, or has just written: look again.
  void Wake();
  void NoteTransmit();

 private:
  void Execute();
  // The backend's wait for the device and the signal, until stopped (true) or a batch failed.
  bool Run();
  bool Dispatch(TComEvents Batch);

  TCustomComPort* FComPort;
  uint32_t FMask;
  TWakeSignal FSignal;
  std::atomic<bool> FStop{false};
  std::atomic<bool> FWithdraw{false};
  std::atomic<bool> FEnded{false};
  std::atomic<bool> FTxPending{false};
  bool FRetired = false;
  std::thread FThread;
};
