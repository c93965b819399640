// Tools of the event tests: a log handlers on any thread may write to, a watchdog against hangs
// and the count of open descriptors.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TLog {
 public:
  void Add(const std::string& S);
  std::vector<std::string> Items() const;
  size_t Size() const { return Items().size(); }
  void Clear();

 private:
  mutable std::mutex FLock;
  std::vector<std::string> FItems;
};

// Ends the process when a step hangs, rather than hanging the suite.
class TWatchdog {
 public:
  explicit TWatchdog(std::chrono::seconds Limit);
  ~TWatchdog();
  TWatchdog(const TWatchdog&) = delete;
  TWatchdog& operator=(const TWatchdog&) = delete;

 private:
  std::mutex FLock;
  std::condition_variable FDone;
  bool FFinished = false;
  std::thread FThread;
};

// Entries of /proc/self/fd.
int OpenDescriptorCount();
