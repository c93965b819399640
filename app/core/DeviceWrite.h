#pragma once
// How a device write puts an image on the line: the positions in ascending
// order, one byte per write with a pause after each, in three runs (frames,
// filler, settings) each followed by a pause of its own.
#include <array>

#include "DeviceImage.h"

namespace varo {

constexpr int BytePauseMs = 60;
constexpr int CommandPauseMs = 100;   // before the handshake and before "w"
constexpr int AnswerPauseMs = 200;    // between "y" and reading the answer
constexpr int ShowFloorsPauseMs = 1000;

struct WriteRun {
  int Begin;         // first position
  int End;           // one past the last
  int PauseAfterMs;  // on top of the pause after its last byte
};

// The frames the image holds (byte 245, never above the 61 slots), the FF
// filler up to position 243, then positions 244 to 255.
std::array<WriteRun, 3> DeviceWriteRuns(const DeviceImage& image);

// The pauses a whole write of this image is held to, handshake included.
int MandatedWriteMs(const DeviceImage& image);

}  // namespace varo
