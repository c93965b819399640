// When a write whose bytes the driver holds ends, and how often it looks.
#include <gtest/gtest.h>

#include "WriteDrain.h"

namespace {

using namespace std::chrono_literals;
using cport_write::Clock;

TEST(WriteDrainTest, AWriteEndsWhenItsBytesHaveLeftOrItsTimeIsUp) {
  const Clock::time_point T0{};
  const Clock::duration Char = 100us;
  const struct {
    const char* Name;
    int Queued;
    Clock::duration Now, Deadline;  // Deadline 0: none
    Clock::duration LastProgress;
    bool Ended;
    Clock::duration Wait;
  } Cases[] = {
      {"nothing left", 0, 5ms, 0ms, 0ms, true, 0ms},
      {"one byte: the shortest look", 1, 0ms, 0ms, 0ms, false, 1ms},
      {"the queue's time at the line's pace", 50, 0ms, 0ms, 0ms, false, 5ms},
      {"a long queue: looked at every 20 ms", 10000, 0ms, 0ms, 0ms, false, 20ms},
      {"not past the deadline", 10000, 0ms, 8ms, 0ms, false, 8ms},
      {"at the deadline", 10, 8ms, 8ms, 7ms, true, 0ms},
      {"no deadline, bytes left lately", 10000, 60s, 0ms, 55s, false, 20ms},
      {"no deadline, up to the stall limit", 10000, 60s, 0ms, 50s + 1ms, false, 1ms},
      {"no deadline, nothing left for the stall limit", 10, 60s, 0ms, 50s, true, 0ms},
  };
  for (const auto& C : Cases) {
    const bool HasDeadline = C.Deadline != 0ms;
    const cport_write::TLook L =
        cport_write::NextLook(C.Queued, T0 + C.Now, HasDeadline, T0 + C.Deadline, T0 + C.LastProgress, Char);
    EXPECT_EQ(L.Ended, C.Ended) << C.Name;
    if (!L.Ended) {
      EXPECT_EQ(L.Wait, C.Wait) << C.Name;
    }
  }
}

TEST(WriteDrainTest, ACharacterTakesItsStartDataParityAndStopBits) {
  const struct {
    uint32_t Rate;
    uint8_t Size, Parity, Stop;
    Clock::duration Expected;
  } Cases[] = {
      {10000, 8, 0, 0, 1000us},  // 10 bits
      {10000, 7, 2, 2, 1100us},  // 1 + 7 + 1 + 2
      {10000, 5, 0, 1, 750us},   // 1 + 5 + 1.5
      {19200, 8, 0, 0, std::chrono::nanoseconds(520833)},
  };
  for (const auto& C : Cases) {
    TDCB D;
    D.BaudRate = C.Rate;
    D.ByteSize = C.Size;
    D.Parity = C.Parity;
    D.StopBits = C.Stop;
    EXPECT_EQ(cport_write::CharTime(D), C.Expected) << C.Rate << " " << int(C.Size);
  }
}

}  // namespace
