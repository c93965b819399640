// The hand-over queue: the framework's synchronisation without a framework.
#include "HandOver.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "CPort.h"

namespace {

struct TCallState {
  bool Started = false;
  bool Done = false;
  std::exception_ptr Error;
};

struct TItem {
  const void* Owner;
  int Kind;  // of a posted call; -1 for a synchronised one
  std::function<void()> Call;
  std::shared_ptr<TCallState> State;  // none for posted calls
};

std::mutex Lock;
std::condition_variable Changed;
std::deque<TItem> Queue;
THandOverWakeUp WakeUp;

void Enqueue(TItem Item) {
  THandOverWakeUp Hook;
  {
    std::lock_guard<std::mutex> L(Lock);
    if (Item.Kind >= 0)
      for (const TItem& Waiting : Queue)
        if (Waiting.Owner == Item.Owner && Waiting.Kind == Item.Kind) return;
    Queue.push_back(std::move(Item));
    Hook = WakeUp;
  }
  Changed.notify_all();
  if (Hook) Hook();
}

}  // namespace

void SetHandOverWakeUp(THandOverWakeUp Hook) {
  std::lock_guard<std::mutex> L(Lock);
  WakeUp = std::move(Hook);
}

int ServeHandOvers() {
  int Served = 0;
  size_t Limit;
  {
    std::lock_guard<std::mutex> L(Lock);
    Limit = Queue.size();
  }
  // Only what was queued on entry: a handler that queues more cannot keep us here.
  while (Served < static_cast<int>(Limit)) {
    TItem Item;
    {
      std::lock_guard<std::mutex> L(Lock);
      if (Queue.empty()) break;
      Item = std::move(Queue.front());
      Queue.pop_front();
      if (Item.State) Item.State->Started = true;
    }
    ++Served;
    std::exception_ptr Error;
    try {
      Item.Call();
    } catch (...) {
      Error = std::current_exception();
    }
    if (Item.State) {
      {
        std::lock_guard<std::mutex> L(Lock);
        Item.State->Done = true;
        Item.State->Error = Error;
      }
      Changed.notify_all();
    }
  }
  return Served;
}

bool WaitForHandOvers(std::chrono::milliseconds Timeout) {
  std::unique_lock<std::mutex> L(Lock);
  return Changed.wait_for(L, Timeout, [] { return !Queue.empty(); });
}

namespace cport_handover {

std::exception_ptr Synchronize(const void* Owner, std::function<void()> Call, const std::atomic<bool>& Withdraw) {
  auto State = std::make_shared<TCallState>();
  // Takes the call back unless the owner is inside it already.
  auto TakeBack = [&State] {
    if (State->Started) return;
    for (auto It = Queue.begin(); It != Queue.end(); ++It)
      if (It->State == State) {
        Queue.erase(It);
        break;
      }
  };
  try {
    Enqueue({Owner, -1, std::move(Call), State});
  } catch (...) {
    std::lock_guard<std::mutex> L(Lock);
    TakeBack();
    throw;
  }
  std::unique_lock<std::mutex> L(Lock);
  Changed.wait(L, [&] { return State->Done || Withdraw.load(); });
  TakeBack();
  return State->Error;
}

void Post(const void* Owner, int Kind, std::function<void()> Call) {
  Enqueue({Owner, Kind, std::move(Call), nullptr});
}

void Discard(const void* Owner) {
  std::lock_guard<std::mutex> L(Lock);
  for (auto It = Queue.begin(); It != Queue.end();) {
    if (It->Owner == Owner && !It->State)
      It = Queue.erase(It);
    else
      ++It;
  }
}

void WakeAll() {
  { std::lock_guard<std::mutex> L(Lock); }
  Changed.notify_all();
}

void ServeUntil(const std::function<bool()>& Done) {
  for (;;) {
    ServeHandOvers();
    std::unique_lock<std::mutex> L(Lock);
    if (Done()) return;
    Changed.wait_for(L, std::chrono::seconds(1), [&] { return !Queue.empty() || Done(); });
  }
}

}  // namespace cport_handover
