// Opening a settings key file: the cost per value at two sizes. Equal costs mean the time grows
// with the file's size alone; the ratio of the larger file's cost to the smaller's shows it.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BenchPty.h"
#include "ComStore.h"

namespace {

using Clock = std::chrono::steady_clock;

double MicrosPerValue(size_t Values) {
  char Name[] = "/tmp/varo-bench-keyXXXXXX";
  const int Fd = ::mkstemp(Name);
  ::close(Fd);
  {
    std::ofstream Out(Name, std::ios::binary);
    for (size_t I = 0; I < Values; ++I) Out << "\"V" << I << "\"=dword:00000001\n";
  }
  std::vector<double> Times;
  for (int Round = 0; Round < 5; ++Round) {
    const auto T0 = Clock::now();
    TRegistryFile Key(Name);
    Times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - T0).count() / double(Values));
  }
  ::unlink(Name);
  return Median(Times);
}

}  // namespace

int main() {
  const double Small = MicrosPerValue(5000);
  const double Large = MicrosPerValue(40000);
  std::printf("BENCH settings_key_open_per_value %.3f us\n", Large);
  std::printf("BENCH settings_key_open_scaling_ratio %.2f ratio\n", Large / Small);
  return 0;
}
