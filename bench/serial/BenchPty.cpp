#include "BenchPty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

TBenchPty::TBenchPty() {
  Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char Name[128];
  if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0 || ptsname_r(Master, Name, sizeof Name) != 0)
    throw std::runtime_error("no pty");
  Path = Name;
}

TBenchPty::~TBenchPty() { ::close(Master); }

void TBenchPty::Send(const char* Bytes, size_t Count) {
  while (Count > 0) {
    const ssize_t N = ::write(Master, Bytes, Count);
    if (N <= 0) throw std::runtime_error("pty write failed");
    Bytes += N;
    Count -= static_cast<size_t>(N);
  }
}

size_t TBenchPty::Drain(char* Buffer, size_t Count, int TimeoutMs) {
  pollfd P{Master, POLLIN, 0};
  if (::poll(&P, 1, TimeoutMs) <= 0) return 0;
  const ssize_t N = ::read(Master, Buffer, Count);
  return N > 0 ? static_cast<size_t>(N) : 0;
}

double Percentile(std::vector<double> Values, double P) {
  if (Values.empty()) return 0;
  std::sort(Values.begin(), Values.end());
  const size_t I = std::min(Values.size() - 1, static_cast<size_t>(P * static_cast<double>(Values.size())));
  return Values[I];
}

double Median(std::vector<double> Values) { return Percentile(std::move(Values), 0.5); }
