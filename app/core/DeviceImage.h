#pragma once
// The 256-byte device image: what the indicator stores, what a device write
// sends and a device read receives, and (with byte 246 as an index) the
// content of a project file. This is the one place that knows its layout.
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "SegmentPattern.h"

namespace varo {

constexpr int DeviceImageSize = 256;
constexpr int FrameSlots = 61;

namespace ImageOffset {
constexpr int FirstFloorIndex = 244;
constexpr int FrameCount = 245;
constexpr int CodeSystem = 246;
constexpr int LastFloorIndex = 247;
constexpr int Buzzer = 248;
}  // namespace ImageOffset

using DeviceImage = std::array<uint8_t, DeviceImageSize>;

// Byte 246 holds the code-system index in a project file and 2 to the power
// of the index in the image the indicator sends and receives.
enum class CodeSystemForm { File, Device };

struct ProjectImage {
  std::vector<SegmentPattern> Frames;  // the frame table
  uint8_t FirstFloorIndex = 8;         // item of the first-floor list (floor + 8)
  uint8_t FrameCount = 16;
  std::optional<uint8_t> CodeSystem = 1;  // no value: a project that names no known system
  uint8_t LastFloorIndex = 14;            // item of the last-floor list built for the first floor
  bool Buzzer = false;
};

// Never takes more frames than the table holds or the image has slots for;
// when it takes fewer than FrameCount, bytes 245 and 247 describe what it took.
// Throws std::invalid_argument without a code system 0..4.
DeviceImage EncodeDeviceImage(const ProjectImage& project, CodeSystemForm form);

enum class ImageField { FirstFloorIndex, FrameCount, CodeSystem, LastFloorIndex };

// An image the window cannot show: the field, its value and the values allowed (Lowest..Highest,
// or the values of Allowed when it is not empty). A frame count that does not fit the floor range
// has Lowest = Highest = the count the range needs, and names the range in RangeFirst..RangeLast.
class EImageRefused : public std::runtime_error {
 public:
  EImageRefused(ImageField field, int value, int lowest, int highest);
  EImageRefused(ImageField field, int value, std::vector<int> allowed);
  static EImageRefused CountOfRange(int value, int firstFloor, int lastFloor);
  ImageField Field;
  int Value;
  int Lowest;
  int Highest;
  std::vector<int> Allowed;
  bool OfRange = false;
  int RangeFirst = 0;
  int RangeLast = 0;
};

// Takes an image only when its header agrees with itself: the floor indexes
// within the lists, the frame count that of the range, a known code system;
// otherwise nothing is taken and EImageRefused says what is wrong. The result
// always has a code system.
ProjectImage DecodeDeviceImage(const DeviceImage& image, CodeSystemForm form);

}  // namespace varo
