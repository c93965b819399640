#include "DisplayPicture.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace varo {

namespace {

// Visited marks carry the number of the fill that set them, so a fill clears
// them only once every 255 fills; one byte each keeps them in the cache.
struct Marks {
  std::vector<uint8_t> Stamp;
  uint8_t Current = 0;

  void Begin(size_t pixels) {
    if (Stamp.size() != pixels) {
      Stamp.assign(pixels, 0);
      Current = 0;
    }
    if (++Current == 0) {
      std::fill(Stamp.begin(), Stamp.end(), 0);
      Current = 1;
    }
  }
};

// A run [Left, Right] of row Y - Dy is filled; row Y is to be explored.
struct Run {
  int Y, Left, Right, Dy;
};

thread_local Marks marks;
thread_local std::vector<Run> pending;

inline bool IsBlack(const uint8_t* p) { return (p[0] | p[1] | p[2]) == 0; }

}  // namespace

inline bool Open(const uint8_t* row, const uint8_t* mark, uint8_t now, int i) {
  return mark[i] != now && !IsBlack(row + 3 * i);
}

// Fills pixels [left, right) of one row: the marks in one memset, the colour
// in blocks of 16 pixels.
inline void PaintRun(uint8_t* row, uint8_t* mark, uint8_t now, int left, int right, const uint8_t (&block)[48]) {
  std::memset(mark + left, now, static_cast<size_t>(right - left));
  uint8_t* p = row + 3 * left;
  size_t n = static_cast<size_t>(right - left);
  for (; n >= 16; n -= 16, p += 48) std::memcpy(p, block, 48);
  std::memcpy(p, block, 3 * n);
}

// A seed fill that looks back at the row it came from only where the new run
// reaches past the old one, so each pixel is tested about twice. A run's
// extent is found first and painted in one go.
size_t FloodFill(RgbView view, int x, int y, Rgb fill) {
  if (!view.Contains(x, y)) return 0;
  if (IsBlack(view.Bits + y * view.Stride + 3 * x)) return 0;
  marks.Begin(static_cast<size_t>(view.Width) * view.Height);
  const uint8_t now = marks.Current;
  const int w = view.Width, h = view.Height;
  uint8_t block[48];
  for (int k = 0; k < 16; ++k) {
    block[3 * k] = fill.R;
    block[3 * k + 1] = fill.G;
    block[3 * k + 2] = fill.B;
  }
  std::vector<Run>& runs = pending;
  auto push = [&runs, h](int ry, int left, int right, int dy) {
    if (ry + dy >= 0 && ry + dy < h) runs.push_back({ry + dy, left, right, dy});
  };

  size_t filled = 0;
  runs.clear();
  push(y, x, x, 1);
  push(y + 1, x, x, -1);
  while (!runs.empty()) {
    const Run r = runs.back();
    runs.pop_back();
    uint8_t* const row = view.Bits + r.Y * view.Stride;
    uint8_t* const mark = marks.Stamp.data() + static_cast<size_t>(r.Y) * w;
    auto open = [row, mark, now](int k) { return Open(row, mark, now, k); };

    int i = r.Left;
    while (i >= 0 && open(i)) --i;
    int left = i + 1;
    bool skip = i >= r.Left;  // nothing open at r.Left: look for the next opening
    if (!skip) {
      if (left < r.Left) push(r.Y, left, r.Left - 1, -r.Dy);
      i = r.Left + 1;
    }
    do {
      if (!skip) {
        while (i < w && open(i)) ++i;
        PaintRun(row, mark, now, left, i, block);
        filled += static_cast<size_t>(i - left);
        push(r.Y, left, i - 1, r.Dy);
        if (i > r.Right + 1) push(r.Y, r.Right + 1, i - 1, -r.Dy);
      }
      skip = false;
      while (++i <= r.Right && !open(i)) {
      }
      left = i;
    } while (i <= r.Right);
  }
  return filled;
}

void PaintSegment(RgbView view, Point seed, bool lit) {
  FloodFill(view, seed.X, seed.Y, lit ? White : SegmentColor);
}

void PaintFrame(RgbView view, const SegmentPattern& pattern) {
  for (int s = 0; s < SegmentCount; ++s) PaintSegment(view, SeedOf(s), pattern.Segment(s));
}

SegmentPattern CapturePattern(const RgbView& view) {
  SegmentPattern p;
  for (int s = 0; s < SegmentCount; ++s) {
    const Point seed = SeedOf(s);
    p.SetSegment(s, view.Contains(seed.X, seed.Y) && view.At(seed.X, seed.Y) == White);
  }
  return p;
}

}  // namespace varo
