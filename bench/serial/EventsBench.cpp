// Latency from a byte at the device to the link's OnRxBuf on the owner thread, and the CPU an
// idle open port costs.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "BenchPty.h"
#include "CPort.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  timespec T{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
  return double(T.tv_sec) + double(T.tv_nsec) / 1e9;
}

std::vector<double> RxLatencies(int Count) {
  TBenchPty Pty;
  TComLink Link;
  TComPort Port;
  Clock::time_point Arrived;
  bool Got = false;
  Link.OnRxBuf = [&](TObject*, const void*, int32_t) {
    Arrived = Clock::now();
    Got = true;
  };
  Port.AttachLink(&Link);
  Port.SetPort(Pty.Path);
  Port.Open();
  std::vector<double> Micros;
  for (int I = 0; I < Count; ++I) {
    Got = false;
    const auto Sent = Clock::now();
    Pty.Send("b", 1);
    while (!Got) {
      WaitForHandOvers(std::chrono::milliseconds(1000));
      ServeHandOvers();
    }
    Micros.push_back(std::chrono::duration<double, std::micro>(Arrived - Sent).count());
  }
  Port.Close();
  Port.DetachLink(&Link);
  return Micros;
}

double IdlePortCpuPercent(double Seconds) {
  TBenchPty Pty;
  TComPort Port;
  Port.SetPort(Pty.Path);
  Port.Open();
  const double Cpu0 = CpuSeconds();
  const auto T0 = Clock::now();
  const auto End = T0 + std::chrono::duration<double>(Seconds);
  while (Clock::now() < End) {
    WaitForHandOvers(std::chrono::duration_cast<std::chrono::milliseconds>(End - Clock::now()));
    ServeHandOvers();
  }
  const double Wall = std::chrono::duration<double>(Clock::now() - T0).count();
  return 100.0 * (CpuSeconds() - Cpu0) / Wall;
}

}  // namespace

int main() {
  const std::vector<double> L = RxLatencies(1000);
  std::printf("BENCH rx_latency_p50 %.1f us\n", Percentile(L, 0.50));
  std::printf("BENCH rx_latency_p99 %.1f us\n", Percentile(L, 0.99));
  std::printf("BENCH idle_port_cpu %.3f %%\n", IdlePortCpuPercent(5.0));
  return 0;
}
