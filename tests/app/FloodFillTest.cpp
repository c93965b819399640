#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DisplayPicture.h"

using varo::Rgb;

namespace {

// A small picture drawn from text: '#' black, 'w' white, 's' segment, '.' background.
struct Picture {
  int W, H;
  std::vector<uint8_t> Bits;
  explicit Picture(const std::vector<std::string>& rows)
      : W(static_cast<int>(rows[0].size())), H(static_cast<int>(rows.size())), Bits(W * H * 3 + 5) {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) Set(x, y, FromChar(rows[y][x]));
  }
  static Rgb FromChar(char c) {
    switch (c) {
      case '#': return varo::Black;
      case 'w': return varo::White;
      case 's': return varo::SegmentColor;
      default: return varo::BackgroundColor;
    }
  }
  static char ToChar(Rgb c) {
    if (c == varo::Black) return '#';
    if (c == varo::White) return 'w';
    if (c == varo::SegmentColor) return 's';
    if (c == varo::BackgroundColor) return '.';
    return '?';
  }
  varo::RgbView View() { return {Bits.data(), W, H, W * 3}; }
  void Set(int x, int y, Rgb c) {
    uint8_t* p = &Bits[(y * W + x) * 3];
    p[0] = c.R, p[1] = c.G, p[2] = c.B;
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows(H, std::string(W, ' '));
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) rows[y][x] = ToChar(View().At(x, y));
    return rows;
  }
};

}  // namespace

TEST(Colours, AreTheExactValuesOfTheDisplay) {
  EXPECT_EQ(varo::SegmentColor, (Rgb{1, 128, 255}));
  EXPECT_EQ(varo::BackgroundColor, (Rgb{0, 128, 255}));
  EXPECT_EQ(varo::White, (Rgb{255, 255, 255}));
  EXPECT_EQ(varo::Black, (Rgb{0, 0, 0}));
}

TEST(FloodFill, FillsTheEnclosedRegionOnly) {
  Picture p({"..........",
             ".#####....",
             ".#sss#....",
             ".#s#s#.##.",
             ".#sss#.#s#",
             ".#####..#.",
             ".........."});
  EXPECT_EQ(varo::FloodFill(p.View(), 2, 2, varo::White), 8u);
  EXPECT_EQ(p.Rows(), (std::vector<std::string>{"..........",
                                                ".#####....",
                                                ".#www#....",
                                                ".#w#w#.##.",
                                                ".#www#.#s#",
                                                ".#####..#.",
                                                ".........."}));
}

TEST(FloodFill, DoesNotStepDiagonallyThroughAnOutline) {
  Picture p({"....#.",
             "...#s#",
             "..#ss#",
             ".#sss#",
             "######"});
  varo::FloodFill(p.View(), 0, 0, varo::White);
  const auto rows = p.Rows();
  EXPECT_EQ(rows[0], "wwww#.");
  EXPECT_EQ(rows[3], "w#sss#");
}

TEST(FloodFill, TakesEveryReachedPixelWhateverItsColour) {
  Picture p({"#######",
             "#swwws#",
             "#sw.ws#",
             "#######"});
  EXPECT_EQ(varo::FloodFill(p.View(), 1, 1, varo::White), 10u);
  EXPECT_EQ(p.Rows()[2], "#wwwww#");
  // Filling with the colour the region already has still reaches all of it.
  EXPECT_EQ(varo::FloodFill(p.View(), 3, 2, varo::White), 10u);
}

TEST(FloodFill, StartingOnBlackOrOutsideFillsNothing) {
  Picture p({"##", "#s"});
  EXPECT_EQ(varo::FloodFill(p.View(), 0, 0, varo::White), 0u);
  EXPECT_EQ(varo::FloodFill(p.View(), -1, 0, varo::White), 0u);
  EXPECT_EQ(varo::FloodFill(p.View(), 2, 1, varo::White), 0u);
  EXPECT_EQ(p.Rows(), (std::vector<std::string>{"##", "#s"}));
}

TEST(FloodFill, ReachesTheEdgesOfThePicture) {
  Picture p({"s.s", "...", "s.s"});
  EXPECT_EQ(varo::FloodFill(p.View(), 1, 1, varo::SegmentColor), 9u);
  EXPECT_EQ(p.Rows(), (std::vector<std::string>{"sss", "sss", "sss"}));
}

TEST(FloodFill, ManyFillsInARowKeepTheirMarksApart) {
  Picture p({"s#s"});
  for (int i = 0; i < 1000; ++i) {
    const Rgb c = i % 2 ? varo::White : varo::SegmentColor;
    ASSERT_EQ(varo::FloodFill(p.View(), 0, 0, c), 1u);
    ASSERT_EQ(varo::FloodFill(p.View(), 2, 0, c), 1u);
  }
}

TEST(CapturePattern, ASegmentIsLitOnlyWhenItsSeedIsExactlyWhite) {
  std::vector<uint8_t> bits(varo::DisplayWidth * varo::DisplayHeight * 3, 0);
  varo::RgbView view{bits.data(), varo::DisplayWidth, varo::DisplayHeight, varo::DisplayWidth * 3};
  auto set = [&](varo::Point at, Rgb c) {
    uint8_t* px = &bits[(at.Y * varo::DisplayWidth + at.X) * 3];
    px[0] = c.R, px[1] = c.G, px[2] = c.B;
  };
  set(varo::SeedOf(0), varo::White);
  set(varo::SeedOf(9), Rgb{255, 255, 254});
  set(varo::SeedOf(31), varo::White);
  EXPECT_EQ(varo::CapturePattern(view).Bytes, (std::array<uint8_t, 4>{0x80, 0x00, 0x00, 0x01}));
}
