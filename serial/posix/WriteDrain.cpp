#include "WriteDrain.h"

#include <algorithm>

namespace cport_write {

namespace {
constexpr Clock::duration ShortestLook = std::chrono::milliseconds(1);
constexpr Clock::duration LongestLook = std::chrono::milliseconds(20);
}  // namespace

Clock::time_point GiveUpAt(bool HasDeadline, Clock::time_point Deadline, Clock::time_point LastProgress) {
  return HasDeadline ? Deadline : LastProgress + StallLimit;
}

TLook NextLook(int Queued, Clock::time_point Now, bool HasDeadline, Clock::time_point Deadline,
               Clock::time_point LastProgress, Clock::duration CharTime) {
  if (Queued <= 0) return {true, {}};
  const Clock::time_point End = GiveUpAt(HasDeadline, Deadline, LastProgress);
  if (Now >= End) return {true, {}};
  const Clock::duration Pace = std::clamp(CharTime * Queued, ShortestLook, LongestLook);
  return {false, std::min(Pace, End - Now)};
}

Clock::duration CharTime(const TDCB& Dcb) {
  // In half bits, for 1.5 stop bits.
  const unsigned HalfBits = 2 * (1 + Dcb.ByteSize + (Dcb.Parity != 0 ? 1 : 0)) + Dcb.StopBits + 2;
  const unsigned Rate = std::max<unsigned>(Dcb.BaudRate, 1);
  return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(500000000ull * HalfBits / Rate));
}

}  // namespace cport_write
