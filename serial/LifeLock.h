// Serialises Open and Close of one port between its owner and its event threads (internal to unit
// CPort): under smNone a handler may close or reopen the port while the owner does the same.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class TLifeLock {
 public:
  // Recursive: a handler that Close serves on the same thread may enter again.
  void Enter();
  void Leave();
  bool HeldHere() const;

  // Lets go of every level this thread holds while it waits for an event thread, whose handler may
  // need to enter; takes them all back when it goes out of scope.
  class TSuspend {
   public:
    explicit TSuspend(TLifeLock& Lock);
    ~TSuspend();
    TSuspend(const TSuspend&) = delete;
    TSuspend& operator=(const TSuspend&) = delete;

   private:
    TLifeLock& FLock;
    int FDepth;
  };

 private:
  void Take(int Depth);
  mutable std::mutex FMutex;
  std::condition_variable FFree;
  std::thread::id FHolder;
  int FDepth = 0;
};

class TLifeGuard {
 public:
  explicit TLifeGuard(TLifeLock& Lock) : FLock(Lock) { FLock.Enter(); }
  ~TLifeGuard() { FLock.Leave(); }
  TLifeGuard(const TLifeGuard&) = delete;
  TLifeGuard& operator=(const TLifeGuard&) = delete;

 private:
  TLifeLock& FLock;
};
