#include "EventTools.h"

#include <dirent.h>

#include <cstdio>
#include <cstdlib>


void TLog::Add(const std::string& S) {
  std::lock_guard<std::mutex> L(FLock);
  FItems.push_back(S);
}

std::vector<std::string> TLog::Items() const {
  std::lock_guard<std::mutex> L(FLock);
  return FItems;
}

void TLog::Clear() {
  std::lock_guard<std::mutex> L(FLock);
  FItems.clear();
}

TWatchdog::TWatchdog(std::chrono::seconds Limit)
    : FThread([this, Limit] {
        std::unique_lock<std::mutex> L(FLock);
        if (!FDone.wait_for(L, Limit, [this] { return FFinished; })) {
          std::fprintf(stderr, "watchdog: step hung\n");
          std::abort();
        }
      }) {}

TWatchdog::~TWatchdog() {
  {
    std::lock_guard<std::mutex> L(FLock);
    FFinished = true;
  }
  FDone.notify_all();
  FThread.join();
}

int OpenDescriptorCount() {
  DIR* D = ::opendir("/proc/self/fd");
  if (!D) return -1;
  int Count = 0;
  while (const dirent* E = ::readdir(D))
    if (E->d_name[0] != '.') ++Count;
  ::closedir(D);
  // Not the descriptor of the listing itself.
  return Count - 1;
}
