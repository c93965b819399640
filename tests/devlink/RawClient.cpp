#include "RawClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

TRawClient::TRawClient(const std::string& path) {
  Fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (Fd_ < 0) throw std::runtime_error("cannot open " + path);
  termios t{};
  ::tcgetattr(Fd_, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(Fd_, TCSANOW, &t);
}

TRawClient::~TRawClient() { ::close(Fd_); }

bool TRawClient::Send(const std::string& bytes) {
  return ::write(Fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string TRawClient::Receive(size_t count, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string got;
  while (got.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{Fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0 || !(p.revents & POLLIN)) break;
    char buffer[512];
    const ssize_t n = ::read(Fd_, buffer, std::min(sizeof buffer, count - got.size()));
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
  }
  return got;
}

bool TRawClient::WaitForHangUp(int timeoutMs) {
  pollfd p{Fd_, 0, 0};
  return ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLHUP);
}
