#pragma once
// The display picture: its colours, and painting and reading segments on a
// raw 24-bit RGB buffer (the window hands in its QImage's scan lines).
#include <cstddef>
#include <cstdint>

#include "SegmentPattern.h"

namespace varo {

constexpr int DisplayWidth = 432;
constexpr int DisplayHeight = 345;

struct Rgb {
  uint8_t R, G, B;
  bool operator==(const Rgb& o) const { return R == o.R && G == o.G && B == o.B; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// Colour values are $00BBGGRR.
constexpr Rgb FromColorRef(uint32_t c) {
  return {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF),
          static_cast<uint8_t>((c >> 16) & 0xFF)};
}
constexpr Rgb White = FromColorRef(0x00FFFFFF);
constexpr Rgb SegmentColor = FromColorRef(0x00FF8001);
constexpr Rgb BackgroundColor = FromColorRef(0x00FF8000);
constexpr Rgb Black = FromColorRef(0x00000000);

// Scan lines of 3 bytes per pixel in R, G, B order (QImage::Format_RGB888).
struct RgbView {
  uint8_t* Bits;
  int Width;
  int Height;
  std::ptrdiff_t Stride;

  Rgb At(int x, int y) const {
    const uint8_t* p = Bits + y * Stride + 3 * x;
    return {p[0], p[1], p[2]};
  }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};

// Fills every pixel 4-connected to (x, y) without crossing black, whatever its
// colour; black pixels are never changed. Returns the number of pixels filled.
size_t FloodFill(RgbView view, int x, int y, Rgb fill);

void PaintSegment(RgbView view, Point seed, bool lit);
void PaintFrame(RgbView view, const SegmentPattern& pattern);
// A segment is lit only when its seed pixel is exactly white.
SegmentPattern CapturePattern(const RgbView& view);

}  // namespace varo
