// When a write whose bytes the driver holds ends (internal to unit CPort). A write counts a byte
// as written once it has left the driver's output queue, not when the driver took it.
#pragma once

#include <chrono>

#include "CPort.h"

namespace cport_write {

using Clock = std::chrono::steady_clock;

// A write without a total time limit waits for its bytes as long as they keep leaving; once
// nothing has left for this long (a line held by flow control, a driver whose count never falls)
// it ends with what left.
constexpr std::chrono::seconds StallLimit{10};

struct TLook {
  bool Ended;
  // Otherwise the time until the next look.
  Clock::duration Wait;
};

// Queued: bytes the driver still holds. LastProgress: when a byte last went to or left the driver.
// The wait is the time the queue takes to leave at the line's pace, looked at again at least
// every 20 ms so that a line let go by flow control is followed soon.
TLook NextLook(int Queued, Clock::time_point Now, bool HasDeadline, Clock::time_point Deadline,
               Clock::time_point LastProgress, Clock::duration CharTime);

// When a write gives up handing bytes to the driver.
Clock::time_point GiveUpAt(bool HasDeadline, Clock::time_point Deadline, Clock::time_point LastProgress);

// Time one character takes on the line: start bit, data bits, parity, stop bits.
Clock::duration CharTime(const TDCB& Dcb);

}  // namespace cport_write
