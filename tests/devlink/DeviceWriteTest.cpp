// The order, runs and pauses of a device write.
#include <gtest/gtest.h>

#include "core/DeviceWrite.h"

namespace {

varo::DeviceImage ImageWithFrames(int frameCountByte) {
  varo::DeviceImage image{};
  image[varo::ImageOffset::FrameCount] = static_cast<uint8_t>(frameCountByte);
  return image;
}

}  // namespace

TEST(DeviceWriteRuns, FramesThenFillerThenSettings) {
  struct Case {
    int FrameCount;
    int FrameEnd;
  };
  // 200 frames cannot be in an image; whatever byte 245 says, no more than the 61 slots go out.
  for (const Case c : {Case{16, 64}, Case{61, 244}, Case{2, 8}, Case{0, 0}, Case{62, 244}, Case{200, 244}}) {
    const auto runs = varo::DeviceWriteRuns(ImageWithFrames(c.FrameCount));
    SCOPED_TRACE(c.FrameCount);
    EXPECT_EQ(runs[0].Begin, 0);
    EXPECT_EQ(runs[0].End, c.FrameEnd);
    EXPECT_EQ(runs[0].PauseAfterMs, 60);
    EXPECT_EQ(runs[1].Begin, c.FrameEnd);
    EXPECT_EQ(runs[1].End, 244);
    EXPECT_EQ(runs[1].PauseAfterMs, 65);
    EXPECT_EQ(runs[2].Begin, 244);
    EXPECT_EQ(runs[2].End, 256);
    EXPECT_EQ(runs[2].PauseAfterMs, 0);
  }
}

TEST(DeviceWriteRuns, MandatedTimeOfAWholeWrite) {
  // 256 x 60 ms, 60 + 65 ms between the runs, 2 x 100 ms and the 200 ms of the handshake.
  EXPECT_EQ(varo::MandatedWriteMs(ImageWithFrames(16)), 15885);
  EXPECT_EQ(varo::MandatedWriteMs(ImageWithFrames(61)), 15885);
}
