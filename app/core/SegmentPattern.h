#pragma once
// The 32-segment pattern of one frame, the seed point of each segment on the
// display picture and the built-in pattern of every floor number.
#include <array>
#include <cstdint>

namespace varo {

constexpr int SegmentCount = 32;
constexpr int MinFloor = -8;
constexpr int MaxFloor = 60;
constexpr int FloorPatternCount = MaxFloor - MinFloor + 1;  // 69

// Segment s is bit 7 - (s mod 8) of byte s div 8; bytes 0-1 are the left
// character, 2-3 the right; a 1 bit is a lit segment.
struct SegmentPattern {
  std::array<uint8_t, 4> Bytes{};

  bool Segment(int s) const;
  void SetSegment(int s, bool lit);
  bool operator==(const SegmentPattern& o) const { return Bytes == o.Bytes; }
  bool operator!=(const SegmentPattern& o) const { return Bytes != o.Bytes; }
};

struct Point {
  int X;
  int Y;
};

// x of segment 0, y of segment 0, x of segment 1, ... in display-bitmap pixels.
extern const int32_t SegmentSeeds[2 * SegmentCount];
Point SeedOf(int segment);

// One 4-byte pattern per floor from -8 to 60; floor f is entry f + 8.
extern const uint8_t DefaultFloorPatterns[4 * FloorPatternCount];
// Throws std::out_of_range outside -8..60.
SegmentPattern FloorPattern(int floor);

}  // namespace varo
