#include "DisplayPicture.h"

#include <algorithm>
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

// A seed fill that looks back at the row it came from only where the new run
// reaches past the old one, so each pixel is tested about twice.
size_t FloodFill(RgbView view, int x, int y, Rgb fill) {
  if (!view.Contains(x, y)) return 0;
  if (IsBlack(view.Bits + y * view.Stride + 3 * x)) return 0;
  marks.Begin(static_cast<size_t>(view.Width) * view.Height);
  const uint8_t now = marks.Current;
  const int w = view.Width, h = view.Height;
  const uint8_t red = fill.R, green = fill.G, blue = fill.B;
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
    auto set = [row, mark, now, red, green, blue](int k) {
      row[3 * k] = red;
      row[3 * k + 1] = green;
      row[3 * k + 2] = blue;
      mark[k] = now;
    };

    int i = r.Left;
    while (i >= 0 && open(i)) set(i--);
    filled += static_cast<size_t>(r.Left - i);
    int left = i + 1;
    bool skip = i >= r.Left;  // nothing open at r.Left: look for the next opening
    if (!skip) {
      if (left < r.Left) push(r.Y, left, r.Left - 1, -r.Dy);
      i = r.Left + 1;
    }
    do {
      if (!skip) {
        const int from = i;
        while (i < w && open(i)) set(i++);
        filled += static_cast<size_t>(i - from);
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
