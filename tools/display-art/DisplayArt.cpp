#include "DisplayArt.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/DisplayPicture.h"

namespace art {
namespace {

// Characters are drawn upright in (u, y) and slanted by x = u + kSlant * (kBase - y).
constexpr double kSlant = 0.075;
constexpr double kBase = 332;
constexpr double kGap = 2.5;  // half the channel between neighbouring segments
constexpr int kCharWidth = 216;

// Upright frame of one character.
constexpr double uL = 7, uR = 185, yT = 13, yB = 331, uC = 96, yM = 172;
constexpr double kSide = 28, kBar = 30, kCorner = 16;
// The middle verticals lean further than the rest of the figure.
constexpr double kVerticalLean = 0.05, kVerticalHalf = 12;

struct P {
  double u, y;
};

P Reflect(P p) { return {2 * uC - p.u, 2 * yM - p.y}; }

struct HalfPlane {
  P a, b;
  double margin;
};

struct Segment {
  std::vector<HalfPlane> planes;
};

double VerticalCentre(double y) { return uC + kVerticalLean * (yM - y); }

HalfPlane Line(P a, P b, double margin = kGap) { return {a, b, margin}; }
HalfPlane Horizontal(double y) { return Line({0, y}, {1, y}); }
HalfPlane Vertical(double u) { return Line({u, 0}, {u, 1}); }
HalfPlane VerticalEdge(double offset) {
  return Line({VerticalCentre(0) + offset, 0}, {VerticalCentre(2 * yM) + offset, 2 * yM});
}

// Signed distance of q from the line, positive on the side of `inside`.
double Side(const HalfPlane& h, P q, P inside) {
  const double dx = h.b.u - h.a.u, dy = h.b.y - h.a.y;
  const double len = std::hypot(dx, dy);
  const double s = (dx * (q.y - h.a.y) - dy * (q.u - h.a.u)) / len;
  const double ref = dx * (inside.y - h.a.y) - dy * (inside.u - h.a.u);
  return ref >= 0 ? s : -s;
}

bool InsideOutline(P q) {
  if (q.u < uL || q.u > uR || q.y < yT || q.y > yB) return false;
  const double cu = q.u < uL + kCorner ? uL + kCorner : (q.u > uR - kCorner ? uR - kCorner : q.u);
  const double cy = q.y < yT + kCorner ? yT + kCorner : (q.y > yB - kCorner ? yB - kCorner : q.y);
  return std::hypot(q.u - cu, q.y - cy) <= kCorner;
}

// The eight segments of the upper left/upper right; the other eight are their
// reflections through the centre of the character.
std::vector<Segment> UpperSegments() {
  const HalfPlane tl = Line({uL, yT}, {uL + kSide, yT + kBar});
  const HalfPlane tr = Line({uR, yT}, {uR - kSide, yT + kBar});
  const HalfPlane topEdge = Horizontal(yT + kBar);
  const HalfPlane midTop = Horizontal(yM - kBar / 2);
  const HalfPlane midBottom = Horizontal(yM + kBar / 2);
  const double tipL = uL + 16, tipR = uR - 16;
  const HalfPlane leftTipUp = Line({tipL, yM}, {tipL + 15, yM - 15});
  const HalfPlane leftTipDown = Line({tipL, yM}, {tipL + 15, yM + 15});
  const HalfPlane rightTipUp = Line({tipR, yM}, {tipR - 15, yM - 15});
  const HalfPlane centreUpLeft = Line({uC, yM}, {uC - 15, yM - 15});
  const HalfPlane centreUpRight = Line({uC, yM}, {uC + 15, yM - 15});
  const HalfPlane centreDownLeft = Line({uC, yM}, {uC - 15, yM + 15});
  // The upper vertical ends in a sharp point that reaches up between the two
  // halves of the top bar.
  const double tipY = yT + 17;
  const P tip{VerticalCentre(tipY), tipY};
  const HalfPlane tipLeft = Line(tip, {VerticalCentre(tipY + 32) - kVerticalHalf, tipY + 32});
  const HalfPlane tipRight = Line(tip, {VerticalCentre(tipY + 32) + kVerticalHalf, tipY + 32});

  std::vector<Segment> s(8);
  s[0] = {{topEdge, tl, Vertical(uC), tipLeft}};                          // 0 top, left half
  s[1] = {{topEdge, tr, Vertical(uC), tipRight}};                         // 1 top, right half
  s[2] = {{Vertical(uR - kSide), tr, Horizontal(yM), rightTipUp}};        // 2 right side, upper
  s[3] = {{Vertical(uL + kSide), tl, Horizontal(yM), leftTipUp}};         // 7 left side, upper
  s[4] = {{topEdge, Vertical(uL + kSide), VerticalEdge(-kVerticalHalf), centreUpLeft,
           Line({uL + kSide, 75}, {84, 160}, 0), Line({65, yT + kBar}, {86, 150}, 0)}};  // 8
  s[5] = {{VerticalEdge(-kVerticalHalf), VerticalEdge(kVerticalHalf), centreUpLeft, centreUpRight,
           tipLeft, tipRight}};  // 9
  s[6] = {{topEdge, Vertical(uR - kSide), VerticalEdge(kVerticalHalf), centreUpRight,
           Line({uR - kSide, 75}, {108, 160}, 0), Line({127, yT + kBar}, {106, 150}, 0)}};  // 10
  s[7] = {{midTop, midBottom, leftTipUp, leftTipDown, centreUpLeft, centreDownLeft}};  // 12
  return s;
}

// Segment numbers of UpperSegments() and of their reflections.
constexpr int kUpperNumber[8] = {0, 1, 2, 7, 8, 9, 10, 12};
constexpr int kReflectedNumber[8] = {4, 5, 6, 3, 15, 14, 13, 11};

Segment Reflected(const Segment& s) {
  Segment r;
  for (const HalfPlane& h : s.planes) r.planes.push_back({Reflect(h.a), Reflect(h.b), h.margin});
  return r;
}

P Upright(double x, double y) { return {x - kSlant * (kBase - y), y}; }

}  // namespace

Canvas DrawDisplay() {
  const varo::Rgb bg = varo::BackgroundColor, seg = varo::SegmentColor;
  const Rgb background{bg.R, bg.G, bg.B}, segment{seg.R, seg.G, seg.B}, black{0, 0, 0};

  std::vector<Segment> segments(16);
  const std::vector<Segment> upper = UpperSegments();
  for (int i = 0; i < 8; ++i) {
    segments[kUpperNumber[i]] = upper[i];
    segments[kReflectedNumber[i]] = Reflected(upper[i]);
  }

  // Region number per pixel of the left character, -1 for background.
  std::vector<int> region(static_cast<size_t>(kCharWidth) * varo::DisplayHeight, -1);
  auto at = [&](int x, int y) -> int& { return region[static_cast<size_t>(y) * kCharWidth + x]; };
  for (int n = 0; n < 16; ++n) {
    const varo::Point seed = varo::SeedOf(n);
    const P inside = Upright(seed.X + 0.5, seed.Y + 0.5);
    for (int y = 0; y < varo::DisplayHeight; ++y)
      for (int x = 0; x < kCharWidth; ++x) {
        const P q = Upright(x + 0.5, y + 0.5);
        if (!InsideOutline(q)) continue;
        bool in = true;
        for (const HalfPlane& h : segments[n].planes)
          if (Side(h, q, inside) < h.margin) {
            in = false;
            break;
          }
        if (!in) continue;
        if (at(x, y) != -1) throw std::logic_error("segments overlap at " + std::to_string(x));
        at(x, y) = n;
      }
  }

  Canvas c(2 * kCharWidth, varo::DisplayHeight, background);
  for (int y = 0; y < varo::DisplayHeight; ++y)
    for (int x = 0; x < kCharWidth; ++x) {
      const int n = at(x, y);
      if (n < 0) continue;
      const bool edge = x == 0 || y == 0 || x + 1 == kCharWidth || y + 1 == varo::DisplayHeight ||
                        at(x - 1, y) != n || at(x + 1, y) != n || at(x, y - 1) != n || at(x, y + 1) != n;
      c.Set(x, y, edge ? black : segment);
    }

  // Pockets cut off from a segment's main region would stay dark when it is lit:
  // fold them into the outline.
  std::vector<uint8_t> bits(static_cast<size_t>(c.Width()) * c.Height() * 3);
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      const Rgb p = c.At(x, y);
      uint8_t* b = &bits[(static_cast<size_t>(y) * c.Width() + x) * 3];
      b[0] = p.r, b[1] = p.g, b[2] = p.b;
    }
  varo::RgbView view{bits.data(), c.Width(), c.Height(), c.Width() * 3};
  for (int n = 0; n < 16; ++n) {
    const varo::Point seed = varo::SeedOf(n);
    if (at(seed.X, seed.Y) != n || c.At(seed.X, seed.Y) != segment)
      throw std::logic_error("seed " + std::to_string(n) + " is not inside its segment");
    varo::FloodFill(view, seed.X, seed.Y, varo::White);
  }
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < kCharWidth; ++x)
      if (c.At(x, y) == segment && view.At(x, y) != varo::White) c.Set(x, y, black);

  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < kCharWidth; ++x) c.Set(x + kCharWidth, y, c.At(x, y));
  return c;
}

}  // namespace art
