#pragma once
// Small drawings of a frame, made from the regions of the display picture so
// that they look like the display: the overview of all floors and the sheet.
#include <cstdint>
#include <vector>

#include "DisplayPicture.h"

namespace varo {

// Colours of a thumbnail: dark segments a shade darker than the background,
// so that the characters' shape shows even where nothing is lit.
constexpr Rgb ThumbnailDark{0, 80, 170};

struct ThumbnailColours {
  Rgb Lit, Dark, Outline, Background;
};
constexpr ThumbnailColours ScreenColours{White, ThumbnailDark, Black, BackgroundColor};

class ThumbnailPainter {
 public:
  // `picture`: the display picture as delivered (all segments dark); each
  // thumbnail pixel stands for a divisor x divisor block of it.
  ThumbnailPainter(const RgbView& picture, int divisor);

  int Width() const { return Width_; }
  int Height() const { return Height_; }
  int Divisor() const { return Divisor_; }
  // The segment a thumbnail pixel belongs to, or -1 (outline or background).
  int SegmentAt(int x, int y) const;
  // Draws the pattern into the top left Width() x Height() pixels of `out`.
  void Paint(const SegmentPattern& pattern, const RgbView& out,
             const ThumbnailColours& colours = ScreenColours) const;

 private:
  static constexpr uint8_t Outline = SegmentCount, Background = SegmentCount + 1;
  int Divisor_, Width_, Height_;
  std::vector<uint8_t> Classes_;  // one per thumbnail pixel: segment, Outline or Background
};

}  // namespace varo
