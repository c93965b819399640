#include "Glyphs.h"

namespace art {
namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGrey{128, 128, 128}, kYellow{255, 214, 64},
    kDarkYellow{176, 136, 0}, kNavy{0, 0, 128}, kSilver{192, 192, 192}, kRed{220, 0, 0},
    kSegmentBlue{0, 128, 255}, kArrowBlue{0, 96, 200}, kArrowLight{120, 180, 255};

Canvas NewDocument() {
  Canvas c(20, 19, kTransparent);
  c.FillPolygon({{4, 1}, {13, 1}, {17, 5}, {17, 18}, {4, 18}}, kBlack);
  c.FillPolygon({{5, 2}, {12, 2}, {16, 6}, {16, 17}, {5, 17}}, kWhite);
  c.FillPolygon({{12, 1}, {17, 6}, {12, 6}}, kGrey);
  return c;
}

Canvas OpenFolder() {
  Canvas c(20, 19, kTransparent);
  c.FillPolygon({{1, 4}, {7, 4}, {9, 6}, {16, 6}, {16, 16}, {1, 16}}, kDarkYellow);
  c.FillPolygon({{2, 5}, {7, 5}, {9, 7}, {15, 7}, {15, 15}, {2, 15}}, kYellow);
  c.FillPolygon({{4, 9}, {19, 9}, {16, 16}, {1, 16}}, kDarkYellow);
  c.FillPolygon({{5, 10}, {18, 10}, {15.5, 15}, {2.5, 15}}, kYellow);
  return c;
}

Canvas SaveDisk() {
  Canvas c(20, 19, kTransparent);
  c.FillRect(2, 1, 16, 17, kNavy);
  c.FillRect(5, 2, 10, 7, kWhite);
  c.FillRect(6, 4, 8, 1, kGrey);
  c.FillRect(6, 6, 8, 1, kGrey);
  c.FillRect(6, 12, 8, 6, kSilver);
  c.FillRect(7, 13, 2, 4, kNavy);
  return c;
}

Canvas Square(Rgb fill) {
  Canvas c(13, 13, fill);
  c.FrameRect(0, 0, 13, 13, kBlack);
  return c;
}

Canvas FloorNumbers() {
  // Two small segment digits "88" in red.
  Canvas c(16, 19, kTransparent);
  for (int x0 : {1, 9}) {
    c.FillRect(x0 + 1, 2, 4, 2, kRed);
    c.FillRect(x0 + 1, 9, 4, 2, kRed);
    c.FillRect(x0 + 1, 16, 4, 2, kRed);
    c.FillRect(x0, 3, 2, 7, kRed);
    c.FillRect(x0 + 4, 3, 2, 7, kRed);
    c.FillRect(x0, 10, 2, 7, kRed);
    c.FillRect(x0 + 4, 10, 2, 7, kRed);
  }
  return c;
}

// Six small displays in two rows: every floor at a glance.
Canvas Overview() {
  Canvas c(20, 19, kTransparent);
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 3; ++col) {
      const int x = 1 + 6 * col, y = 2 + 8 * row;
      c.FillRect(x, y, 6, 7, kBlack);
      c.FillRect(x + 1, y + 1, 4, 5, kSegmentBlue);
      c.FillRect(x + 1, y + 3, 4, 1, kWhite);
    }
  return c;
}

// Two stacked label tags, the front one marked "B": one label for several floors.
Canvas Labels() {
  Canvas c(20, 19, kTransparent);
  for (int offset : {5, 0}) {
    const double x = 1 + offset, y = 6 - offset;
    c.FillPolygon({{x, y + 4}, {x + 4, y}, {x + 13, y}, {x + 13, y + 9}, {x + 4, y + 9}}, kBlack);
    c.FillPolygon({{x + 1, y + 4.5}, {x + 4.5, y + 1}, {x + 12, y + 1}, {x + 12, y + 8}, {x + 4.5, y + 8}},
                  kYellow);
    c.Set(static_cast<int>(x) + 3, static_cast<int>(y) + 4, kBlack);
  }
  // "B" on the front tag.
  c.FillRect(7, 8, 1, 5, kRed);
  c.FillRect(8, 8, 3, 1, kRed);
  c.FillRect(8, 10, 3, 1, kRed);
  c.FillRect(8, 12, 3, 1, kRed);
  c.FillRect(11, 9, 1, 1, kRed);
  c.FillRect(11, 11, 1, 1, kRed);
  return c;
}

// A page with a grid of small displays: the printable sheet.
Canvas Sheet() {
  Canvas c(20, 19, kTransparent);
  c.FillPolygon({{3, 0}, {13, 0}, {17, 4}, {17, 19}, {3, 19}}, kBlack);
  c.FillPolygon({{4, 1}, {12, 1}, {16, 5}, {16, 18}, {4, 18}}, kWhite);
  c.FillPolygon({{12, 0}, {17, 5}, {12, 5}}, kGrey);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 2; ++col) c.FillRect(6 + 5 * col, 6 + 4 * row, 4, 3, kSegmentBlue);
  return c;
}

Canvas Arrow(bool up) {
  Canvas c(64, 64, kWhite);
  std::vector<PointF> outer{{32, 6}, {58, 34}, {43, 34}, {43, 58}, {21, 58}, {21, 34}, {6, 34}};
  std::vector<PointF> inner{{32, 10}, {53, 32}, {41, 32}, {41, 56}, {23, 56}, {23, 32}, {11, 32}};
  if (!up)
    for (auto* poly : {&outer, &inner})
      for (PointF& p : *poly) p.y = 64 - p.y;
  c.FillPolygon(outer, kArrowBlue);
  c.FillPolygon(inner, kArrowLight);
  return c;
}

}  // namespace

std::vector<Glyph> DrawGlyphs() {
  return {
      {"new", NewDocument()},          {"open", OpenFolder()},       {"save", SaveDisk()},
      {"fill-white", Square(kWhite)},  {"fill-blue", Square(kSegmentBlue)},
      {"floor-numbers", FloorNumbers()}, {"up", Arrow(true)},        {"down", Arrow(false)},
      {"overview", Overview()},        {"labels", Labels()},         {"sheet", Sheet()},
  };
}

}  // namespace art
