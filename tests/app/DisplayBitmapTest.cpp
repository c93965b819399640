// The shipped display bitmap, as the window loads it.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "core/DisplayPicture.h"

namespace {

struct Box {
  int X0, X1, Y0, Y1;
};

// Extents of the left character's regions.
const Box kExtents[16] = {{42, 120, 13, 43},  {126, 199, 13, 43},  {167, 208, 22, 170}, {158, 196, 175, 322},
                          {97, 172, 301, 332}, {20, 90, 301, 332},  {8, 48, 175, 319},   {19, 57, 25, 170},
                          {43, 105, 26, 169},  {103, 136, 30, 167}, {113, 195, 28, 167}, {114, 181, 157, 187},
                          {36, 101, 157, 187}, {22, 102, 179, 315}, {81, 113, 179, 316}, {112, 169, 179, 316}};
constexpr int kOutside = 6;  // a region never pokes further out of its box
constexpr int kInside = 8;   // bars and sides reach this close to every edge of theirs

class DisplayBitmap : public testing::Test {
 protected:
  void SetUp() override {
    Image = QImage(":/display.bmp").convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(Image.size(), QSize(432, 345));
  }
  varo::RgbView View() { return {Image.bits(), Image.width(), Image.height(), Image.bytesPerLine()}; }
  size_t Count(varo::Rgb c) {
    size_t n = 0;
    for (int y = 0; y < Image.height(); ++y)
      for (int x = 0; x < Image.width(); ++x) n += View().At(x, y) == c;
    return n;
  }
  QImage Image;
};

}  // namespace

TEST_F(DisplayBitmap, HoldsOnlyTheThreeColoursOfTheDeliveredPicture) {
  const size_t bg = Count(varo::BackgroundColor), seg = Count(varo::SegmentColor), black = Count(varo::Black);
  EXPECT_EQ(bg + seg + black, 432u * 345u);
  EXPECT_GT(seg, 40000u);
}

TEST_F(DisplayBitmap, RightHalfIsTheLeftHalfShifted) {
  for (int y = 0; y < 345; ++y)
    for (int x = 0; x < 216; ++x) ASSERT_EQ(View().At(x, y), View().At(x + 216, y)) << x << "," << y;
  for (int y = 0; y < 345; ++y)
    for (int x = 210; x <= 222; ++x) ASSERT_EQ(View().At(x, y), varo::BackgroundColor) << x << "," << y;
}

TEST_F(DisplayBitmap, EachSeedLiesInItsOwnClosedRegion) {
  const size_t background = Count(varo::BackgroundColor);
  for (int s = 0; s < 32; ++s) {
    QImage copy = Image.copy();
    varo::RgbView view{copy.bits(), copy.width(), copy.height(), copy.bytesPerLine()};
    const varo::Point seed = varo::SeedOf(s);
    ASSERT_EQ(view.At(seed.X, seed.Y), varo::SegmentColor) << "seed " << s;
    ASSERT_GT(varo::FloodFill(view, seed.X, seed.Y, varo::White), 500u) << "seed " << s;
    for (int t = 0; t < 32; ++t) {
      const varo::Point other = varo::SeedOf(t);
      EXPECT_EQ(view.At(other.X, other.Y) == varo::White, s == t) << "fill from " << s << " reached " << t;
    }
    size_t stillBackground = 0;
    Box box{432, -1, 345, -1};
    for (int y = 0; y < 345; ++y)
      for (int x = 0; x < 432; ++x) {
        stillBackground += view.At(x, y) == varo::BackgroundColor;
        if (view.At(x, y) == varo::White)
          box = {std::min(box.X0, x), std::max(box.X1, x), std::min(box.Y0, y), std::max(box.Y1, y)};
      }
    EXPECT_EQ(stillBackground, background) << "fill from " << s << " leaked into the background";

    const Box want = kExtents[s % 16];
    const int shift = s < 16 ? 0 : 216;
    EXPECT_GE(box.X0, want.X0 + shift - kOutside) << s;
    EXPECT_LE(box.X1, want.X1 + shift + kOutside) << s;
    EXPECT_GE(box.Y0, want.Y0 - kOutside) << s;
    EXPECT_LE(box.Y1, want.Y1 + kOutside) << s;
    // Bars and sides fill their boxes; diagonals and middle verticals are drawn slimmer.
    const bool slim = (s % 16 >= 8 && s % 16 <= 10) || s % 16 >= 13;
    if (!slim) {
      EXPECT_LE(box.X0, want.X0 + shift + kInside) << s;
      EXPECT_GE(box.X1, want.X1 + shift - kInside) << s;
      EXPECT_LE(box.Y0, want.Y0 + kInside) << s;
      EXPECT_GE(box.Y1, want.Y1 - kInside) << s;
    }
  }
}

TEST_F(DisplayBitmap, TheThirtyTwoRegionsHoldEverySegmentPixel) {
  varo::PaintFrame(View(), varo::SegmentPattern{{0xFF, 0xFF, 0xFF, 0xFF}});
  EXPECT_EQ(Count(varo::SegmentColor), 0u);
  varo::PaintFrame(View(), varo::SegmentPattern{});
  EXPECT_EQ(Count(varo::White), 0u);
}

TEST_F(DisplayBitmap, PaintingAPatternShowsExactlyItsBits) {
  varo::PaintFrame(View(), varo::FloorPattern(0));
  for (int s = 0; s < 32; ++s) {
    const varo::Point seed = varo::SeedOf(s);
    EXPECT_EQ(View().At(seed.X, seed.Y), s >= 16 && s < 24 ? varo::White : varo::SegmentColor) << s;
  }
  for (int floor = -8; floor <= 60; ++floor) {
    varo::PaintFrame(View(), varo::FloorPattern(floor));
    EXPECT_EQ(varo::CapturePattern(View()), varo::FloorPattern(floor)) << floor;
  }
  varo::PaintFrame(View(), varo::SegmentPattern{{0xFF, 0xFF, 0xFF, 0xFF}});
  EXPECT_EQ(varo::CapturePattern(View()).Bytes, (std::array<uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
}
