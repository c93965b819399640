#include "Indicator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>

namespace sim {

namespace {

[[noreturn]] void Fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

Indicator::Indicator(Behaviour behaviour, const varo::DeviceImage& image, const std::string& link,
                     Listener listener)
    : Listener_(std::move(listener)), Link_(link), Protocol_(behaviour, image) {
  try {
    Master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (Master_ < 0) Fail("posix_openpt");
    if (::grantpt(Master_) != 0 || ::unlockpt(Master_) != 0) Fail("unlockpt");
    char name[PATH_MAX];
    if (::ptsname_r(Master_, name, sizeof name) != 0) Fail("ptsname_r");
    DevicePath_ = name;
    // Raw from the start: nothing echoed or translated before the tool sets the line up.
    termios t{};
    if (::tcgetattr(Master_, &t) != 0) Fail("tcgetattr");
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B19200);
    if (::tcsetattr(Master_, TCSANOW, &t) != 0) Fail("tcsetattr");
    Slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (Slave_ < 0) Fail(name);
    if (::fcntl(Master_, F_SETFL, O_NONBLOCK) != 0) Fail("fcntl");
    Wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (Wake_ < 0) Fail("eventfd");
    if (!Link_.empty()) {
      if (::unlink(Link_.c_str()) != 0 && errno != ENOENT) Fail(Link_.c_str());
      if (::symlink(DevicePath_.c_str(), Link_.c_str()) != 0) Fail(Link_.c_str());
    }
    Thread_ = std::thread(&Indicator::Run, this);
  } catch (...) {
    CloseFd(Master_);
    CloseFd(Slave_);
    CloseFd(Wake_);
    throw;
  }
}

Indicator::~Indicator() {
  {
    std::lock_guard<std::mutex> l(Lock_);
    Stop_ = true;
  }
  (void)::eventfd_write(Wake_, 1);
  Thread_.join();
  CloseLine();
  CloseFd(Wake_);
  if (!Link_.empty()) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(Link_.c_str(), target, sizeof target - 1);
    // A restarted indicator may have taken the name over.
    if (n > 0 && std::string(target, static_cast<size_t>(n)) == DevicePath_) ::unlink(Link_.c_str());
  }
}

void Indicator::Run() {
  for (;;) {
    bool due = false;
    timespec wait{};
    bool timed = false;
    {
      std::unique_lock<std::mutex> l(Lock_);
      if (Stop_) return;
      if (HangUpWanted_) {
        Log_.push_back("hanging up");
        CloseLine();
        l.unlock();
        if (Listener_.Log) Listener_.Log("hanging up");
        return;
      }
      if (HungUp_) return;
      if (OutboxHead_ < Outbox_.size()) {
        const auto left = Outbox_[OutboxHead_].first - Clock::now();
        due = left <= Clock::duration::zero();
        if (!due) {
          const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
          wait = {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
          timed = true;
        }
      }
    }
    pollfd p[2] = {{Wake_, POLLIN, 0}, {Master_, static_cast<short>(POLLIN | (due ? POLLOUT : 0)), 0}};
    if (::ppoll(p, 2, timed ? &wait : nullptr, nullptr) < 0 && errno != EINTR) return;
    if (p[0].revents & POLLIN) {
      eventfd_t ignored;
      (void)::eventfd_read(Wake_, &ignored);
    }
    if (p[1].revents & POLLIN) {
      unsigned char bytes[4096];
      const ssize_t n = ::read(Master_, bytes, sizeof bytes);
      if (n < 0 && errno != EAGAIN && errno != EINTR) return;
      const Clock::time_point now = Clock::now();
      for (ssize_t i = 0; i < n; ++i) {
        Reaction r;
        {
          // Whoever sees the byte taken sees what it caused.
          std::lock_guard<std::mutex> l(Lock_);
          Received_.push_back(bytes[i]);
          r = Protocol_.Take(bytes[i], now);
          Apply(r, now);
        }
        Changed_.notify_all();
        if (Listener_.Received) Listener_.Received(bytes[i], now);
        for (const std::string& line : r.Log)
          if (Listener_.Log) Listener_.Log(line);
        if (r.Stored && Listener_.Stored) Listener_.Stored(*r.Stored);
        if (r.HangUp) break;
      }
    }
    SendDue(Clock::now());
  }
}

void Indicator::Apply(const Reaction& r, Clock::time_point now) {
  Log_.insert(Log_.end(), r.Log.begin(), r.Log.end());
  Clock::time_point at = now + r.Delay;
  if (OutboxHead_ < Outbox_.size()) at = std::max(at, Outbox_.back().first);
  for (size_t i = 0; i < r.Send.size(); ++i)
    Outbox_.emplace_back(r.Paced ? at + static_cast<long>(i) * CharacterTime : at,
                         static_cast<unsigned char>(r.Send[i]));
  if (r.HangUp) CloseLine();
}

void Indicator::SendDue(Clock::time_point now) {
  {
    std::lock_guard<std::mutex> l(Lock_);
    if (HungUp_) return;
    std::vector<unsigned char> bytes;
    for (size_t i = OutboxHead_; i < Outbox_.size() && Outbox_[i].first <= now; ++i)
      bytes.push_back(Outbox_[i].second);
    if (bytes.empty()) return;
    const ssize_t n = ::write(Master_, bytes.data(), bytes.size());
    if (n <= 0) return;  // full: poll says when there is room again
    LastSentAt_ = Clock::now();
    OutboxHead_ += static_cast<size_t>(n);
    Sent_ += static_cast<size_t>(n);
    if (OutboxHead_ == Outbox_.size()) {
      Outbox_.clear();
      OutboxHead_ = 0;
    }
  }
  Changed_.notify_all();
}

void Indicator::CloseLine() {
  if (Master_ < 0) return;
  CloseFd(Master_);
  CloseFd(Slave_);
  HungUp_ = true;
  Changed_.notify_all();
}

void Indicator::HangUp() {
  {
    std::lock_guard<std::mutex> l(Lock_);
    HangUpWanted_ = true;
  }
  (void)::eventfd_write(Wake_, 1);
}

void Indicator::SetBehaviour(const Behaviour& behaviour) {
  std::lock_guard<std::mutex> l(Lock_);
  Protocol_.SetBehaviour(behaviour);
}

Counts Indicator::Seen() const {
  std::lock_guard<std::mutex> l(Lock_);
  return Protocol_.Seen();
}

std::vector<unsigned char> Indicator::Received() const {
  std::lock_guard<std::mutex> l(Lock_);
  return Received_;
}

varo::DeviceImage Indicator::Image() const {
  std::lock_guard<std::mutex> l(Lock_);
  return Protocol_.Image();
}

size_t Indicator::SentBytes() const {
  std::lock_guard<std::mutex> l(Lock_);
  return Sent_;
}

size_t Indicator::PendingBytes() const {
  std::lock_guard<std::mutex> l(Lock_);
  return Outbox_.size() - OutboxHead_;
}

Clock::time_point Indicator::LastSentAt() const {
  std::lock_guard<std::mutex> l(Lock_);
  return LastSentAt_;
}

bool Indicator::HungUp() const {
  std::lock_guard<std::mutex> l(Lock_);
  return HungUp_;
}

std::vector<std::string> Indicator::Log() const {
  std::lock_guard<std::mutex> l(Lock_);
  return Log_;
}

bool Indicator::WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const {
  const Clock::time_point end = Clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (Clock::now() >= end) return false;
    // Conditions may look at things besides this indicator: look again every few ms.
    std::unique_lock<std::mutex> l(Lock_);
    Changed_.wait_for(l, std::chrono::milliseconds(5));
  }
}

}  // namespace sim
