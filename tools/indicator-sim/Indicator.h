#pragma once
// The simulated indicator on a pseudo-terminal: the tool opens Path() as its
// serial port. A thread of its own answers; the observations below are safe
// from any thread.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Protocol.h"

namespace sim {

// 10 bits (start, 8 data, stop) at 19200 bit/s.
constexpr std::chrono::nanoseconds CharacterTime{520833};

struct Listener {
  std::function<void(const std::string& line)> Log;
  std::function<void(const varo::DeviceImage& image)> Stored;
  // Every byte taken, with the time it was read off the line.
  std::function<void(unsigned char byte, Clock::time_point at)> Received;
};

class Indicator {
 public:
  // With a link path, Path() is a symbolic link there to the pseudo-terminal,
  // replaced if it exists, so a restarted indicator keeps its name.
  // Throws std::system_error when no pseudo-terminal can be had.
  explicit Indicator(Behaviour behaviour = {}, const varo::DeviceImage& image = DefaultImage(),
                     const std::string& link = "", Listener listener = {});
  ~Indicator();
  Indicator(const Indicator&) = delete;
  Indicator& operator=(const Indicator&) = delete;

  const std::string& Path() const { return Link_.empty() ? DevicePath_ : Link_; }
  const std::string& DevicePath() const { return DevicePath_; }

  Counts Seen() const;
  std::vector<unsigned char> Received() const;  // every byte, in order
  varo::DeviceImage Image() const;              // what it stores
  size_t SentBytes() const;
  // Bytes it has decided to send that are not out yet (a late answer, say).
  size_t PendingBytes() const;
  Clock::time_point LastSentAt() const;  // when the last byte sent so far went out
  bool HungUp() const;
  std::vector<std::string> Log() const;

  // Waits until the condition holds (checked after each change) or the time passes.
  bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const;

  // Drops the line now, as a pulled cable would.
  void HangUp();
  // Misbehaves (or stops misbehaving) from the next byte on.
  void SetBehaviour(const Behaviour& behaviour);

 private:
  void Run();
  // With Lock_ held.
  void Apply(const Reaction& reaction, Clock::time_point now);
  void SendDue(Clock::time_point now);
  void CloseLine();

  Listener Listener_;
  std::string Link_;
  std::string DevicePath_;
  int Master_ = -1;
  int Slave_ = -1;  // held so the master never sees the line drop when the tool closes it
  int Wake_ = -1;

  mutable std::mutex Lock_;
  mutable std::condition_variable Changed_;
  Protocol Protocol_;
  std::vector<unsigned char> Received_;
  std::vector<std::pair<Clock::time_point, unsigned char>> Outbox_;
  size_t OutboxHead_ = 0;
  size_t Sent_ = 0;
  Clock::time_point LastSentAt_{};
  bool HungUp_ = false;
  bool Stop_ = false;
  bool HangUpWanted_ = false;
  std::vector<std::string> Log_;
  std::thread Thread_;
};

}  // namespace sim
