// Per-call cost of one-byte Write and Read over a pty, and 1 MiB looped back in 4 KiB blocks,
// also as a share of what plain read/write on the same kind of pty reach.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "BenchPty.h"
#include "CPort.h"

namespace {

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration D) { return std::chrono::duration<double, std::micro>(D).count(); }

void OpenOn(TComPort& Port, const TBenchPty& Pty) {
  Port.SetEvents({});
  Port.SetPort(Pty.Path);
  Port.Open();
}

double WriteOneMedian() {
  TBenchPty Pty;
  TComPort Port;
  OpenOn(Port, Pty);
  std::vector<double> Times;
  char Sink[4096];
  for (int Round = 0; Round < 20; ++Round) {
    for (int I = 0; I < 1000; ++I) {
      const auto T0 = Clock::now();
      Port.Write("x", 1);
      Times.push_back(Micros(Clock::now() - T0));
    }
    size_t Got = 0;
    while (Got < 1000) Got += Pty.Drain(Sink, sizeof Sink, 1000);
  }
  return Median(Times);
}

double ReadOneMedian() {
  TBenchPty Pty;
  TComPort Port;
  OpenOn(Port, Pty);
  std::vector<double> Times;
  const std::vector<char> Block(1000, 'r');
  char C;
  for (int Round = 0; Round < 20; ++Round) {
    Pty.Send(Block.data(), Block.size());
    while (Port.InputQueueCount() < 1000) std::this_thread::yield();
    for (int I = 0; I < 1000; ++I) {
      const auto T0 = Clock::now();
      Port.Read(&C, 1);
      Times.push_back(Micros(Clock::now() - T0));
    }
  }
  return Median(Times);
}

// 1 MiB written with Write and 1 MiB read with Read, 4 KiB a call, the pty's other end
// draining or feeding as fast as it can; MB moved per second.
double ThroughputMBps() {
  constexpr int Total = 1 << 20, Block = 4096;
  TBenchPty Pty;
  TComPort Port;
  Port.Timeouts().SetReadInterval(0);
  Port.Timeouts().SetWriteTotalMultiplier(0);
  Port.Timeouts().SetWriteTotalConstant(0);
  OpenOn(Port, Pty);
  std::vector<char> Out(Block, 'w'), In(Block);

  auto T0 = Clock::now();
  std::thread Device([&] {
    std::vector<char> Buf(Block);
    for (size_t Done = 0; Done < static_cast<size_t>(Total);) {
      const size_t N = Pty.Drain(Buf.data(), Buf.size(), 5000);
      if (N == 0) return;
      Done += N;
    }
  });
  for (int Done = 0; Done < Total; Done += Block) Port.Write(Out.data(), Block);
  Device.join();
  Clock::duration Spent = Clock::now() - T0;

  T0 = Clock::now();
  Device = std::thread([&] {
    for (int Done = 0; Done < Total; Done += Block) Pty.Send(Out.data(), Block);
  });
  for (int Done = 0; Done < Total;) Done += Port.Read(In.data(), Block);
  Device.join();
  Spent += Clock::now() - T0;
  return 2.0 * Total / 1e6 / std::chrono::duration<double>(Spent).count();
}

// The same traffic with plain blocking read/write on the pty: what the machine allows.
double RawPtyMBps() {
  constexpr int Total = 1 << 20, Block = 4096;
  TBenchPty Pty;
  const int Slave = ::open(Pty.Path.c_str(), O_RDWR | O_NOCTTY);
  termios T{};
  tcgetattr(Slave, &T);
  cfmakeraw(&T);
  tcsetattr(Slave, TCSANOW, &T);
  std::vector<char> Out(Block, 'w'), In(Block);
  auto T0 = Clock::now();
  std::thread Device([&] {
    for (size_t Done = 0; Done < static_cast<size_t>(Total);) Done += Pty.Drain(In.data(), In.size(), 5000);
  });
  for (int Done = 0; Done < Total;) Done += static_cast<int>(::write(Slave, Out.data(), Block));
  Device.join();
  Device = std::thread([&] {
    for (int Done = 0; Done < Total; Done += Block) Pty.Send(Out.data(), Block);
  });
  std::vector<char> Buf(Block);
  for (int Done = 0; Done < Total;) Done += static_cast<int>(::read(Slave, Buf.data(), Block));
  Device.join();
  const double Seconds = std::chrono::duration<double>(Clock::now() - T0).count();
  ::close(Slave);
  return 2.0 * Total / 1e6 / Seconds;
}

}  // namespace

int main() {
  std::printf("BENCH serial_write1_median %.2f us\n", WriteOneMedian());
  std::printf("BENCH serial_read1_median %.2f us\n", ReadOneMedian());
  // Each port run is paired with a raw run made right after it, so that the ratio holds on a
  // machine whose load changes.
  std::vector<double> Rates, Raw, Ratios;
  for (int I = 0; I < 5; ++I) {
    Rates.push_back(ThroughputMBps());
    Raw.push_back(RawPtyMBps());
    Ratios.push_back(Rates.back() / Raw.back());
  }
  std::printf("BENCH serial_throughput %.1f MB/s\n", Median(Rates));
  std::printf("BENCH serial_raw_pty_throughput %.1f MB/s\n", Median(Raw));
  std::printf("BENCH serial_throughput_ratio %.2f ratio\n", Median(Ratios));
  return 0;
}
