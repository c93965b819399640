// Time limits of a request as the Win32 timeouts give them (internal to unit CPort).
#pragma once

#include <chrono>
#include <cstdint>

namespace cport_limits {

using Clock = std::chrono::steady_clock;

constexpr uint32_t MaxDword = 0xFFFFFFFFu;
// Limits longer than this (about 31 years) are taken as none, so deadlines never overflow.
constexpr uint64_t NoLimitMs = 1000000000000ull;

// Earliest of two optional deadlines.
inline void Limit(bool& Has, Clock::time_point& Deadline, Clock::time_point Candidate) {
  if (!Has || Candidate < Deadline) Deadline = Candidate;
  Has = true;
}

inline bool LimitFromMs(uint64_t Ms, Clock::time_point From, Clock::time_point& Deadline) {
  if (Ms >= NoLimitMs) return false;
  Deadline = From + std::chrono::milliseconds(Ms);
  return true;
}

}  // namespace cport_limits
