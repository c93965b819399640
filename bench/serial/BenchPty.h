// Pseudo-terminal for the serial benchmarks: the port opens the slave, the bench plays the device.
#pragma once

#include <string>
#include <vector>

struct TBenchPty {
  TBenchPty();
  ~TBenchPty();
  int Master = -1;
  std::string Path;
  void Send(const char* Bytes, size_t Count);
  // Reads whatever is waiting, up to Count bytes; 0 when nothing came within TimeoutMs.
  size_t Drain(char* Buffer, size_t Count, int TimeoutMs);
};

double Median(std::vector<double> Values);
double Percentile(std::vector<double> Values, double P);
