#include "LifeLock.h"

void TLifeLock::Enter() {
  {
    std::lock_guard<std::mutex> L(FMutex);
    if (FHolder == std::this_thread::get_id()) {
      ++FDepth;
      return;
    }
  }
  Take(1);
}

void TLifeLock::Leave() {
  {
    std::lock_guard<std::mutex> L(FMutex);
    if (--FDepth > 0) return;
    FHolder = std::thread::id();
  }
  FFree.notify_all();
}

bool TLifeLock::HeldHere() const {
  std::lock_guard<std::mutex> L(FMutex);
  return FHolder == std::this_thread::get_id();
}

void TLifeLock::Take(int Depth) {
  std::unique_lock<std::mutex> L(FMutex);
  FFree.wait(L, [this] { return FDepth == 0; });
  FHolder = std::this_thread::get_id();
  FDepth = Depth;
}

TLifeLock::TSuspend::TSuspend(TLifeLock& Lock) : FLock(Lock), FDepth(0) {
  {
    std::lock_guard<std::mutex> L(FLock.FMutex);
    if (FLock.FHolder != std::this_thread::get_id()) return;
    FDepth = FLock.FDepth;
    FLock.FDepth = 0;
    FLock.FHolder = std::thread::id();
  }
  FLock.FFree.notify_all();
}

TLifeLock::TSuspend::~TSuspend() {
  if (FDepth > 0) FLock.Take(FDepth);
}
