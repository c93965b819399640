#include "DeviceWrite.h"

#include <algorithm>

namespace varo {

std::array<WriteRun, 3> DeviceWriteRuns(const DeviceImage& image) {
  const int frameBytes = 4 * std::min<int>(image[ImageOffset::FrameCount], FrameSlots);
  const int settings = ImageOffset::FirstFloorIndex;
  return {{{0, frameBytes, 60}, {frameBytes, settings, 65}, {settings, DeviceImageSize, 0}}};
}

int MandatedWriteMs(const DeviceImage& image) {
  int ms = 2 * CommandPauseMs + AnswerPauseMs;
  for (const WriteRun& run : DeviceWriteRuns(image)) ms += (run.End - run.Begin) * BytePauseMs + run.PauseAfterMs;
  return ms;
}

}  // namespace varo
