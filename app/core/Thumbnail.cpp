#include "Thumbnail.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace varo {

ThumbnailPainter::ThumbnailPainter(const RgbView& picture, int divisor) : Divisor_(divisor) {
  if (divisor < 1) throw std::invalid_argument("thumbnail divisor below 1");
  Width_ = picture.Width / divisor;
  Height_ = picture.Height / divisor;

  // Each segment's region, marked on a copy by a fill in a colour of its own.
  const int w = picture.Width, h = picture.Height;
  std::vector<uint8_t> copy(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) std::copy_n(picture.Bits + y * picture.Stride, 3 * w, copy.data() + 3 * w * y);
  const RgbView marked{copy.data(), w, h, 3 * w};
  auto marker = [](int s) { return Rgb{static_cast<uint8_t>(s + 1), 7, 7}; };
  for (int s = 0; s < SegmentCount; ++s) {
    const Point seed = SeedOf(s);
    if (marked.Contains(seed.X, seed.Y)) FloodFill(marked, seed.X, seed.Y, marker(s));
  }
  auto classOf = [&](int x, int y) -> uint8_t {
    const Rgb c = marked.At(x, y);
    if (c == Black) return Outline;
    if (c.G == 7 && c.B == 7 && c.R >= 1 && c.R <= SegmentCount) return static_cast<uint8_t>(c.R - 1);
    return Background;
  };

  // Each thumbnail pixel takes the class that covers most of its block.
  Classes_.resize(static_cast<size_t>(Width_) * Height_);
  for (int ty = 0; ty < Height_; ++ty)
    for (int tx = 0; tx < Width_; ++tx) {
      std::array<int, SegmentCount + 2> count{};
      for (int y = ty * divisor; y < (ty + 1) * divisor; ++y)
        for (int x = tx * divisor; x < (tx + 1) * divisor; ++x) ++count[classOf(x, y)];
      Classes_[static_cast<size_t>(ty) * Width_ + tx] =
          static_cast<uint8_t>(std::max_element(count.begin(), count.end()) - count.begin());
    }
}

int ThumbnailPainter::SegmentAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return -1;
  const uint8_t c = Classes_[static_cast<size_t>(y) * Width_ + x];
  return c < SegmentCount ? c : -1;
}

void ThumbnailPainter::Paint(const SegmentPattern& pattern, const RgbView& out,
                             const ThumbnailColours& colours) const {
  std::array<Rgb, SegmentCount + 2> colour;
  for (int s = 0; s < SegmentCount; ++s) colour[s] = pattern.Segment(s) ? colours.Lit : colours.Dark;
  colour[Outline] = colours.Outline;
  colour[Background] = colours.Background;
  const int w = std::min(Width_, out.Width), h = std::min(Height_, out.Height);
  for (int y = 0; y < h; ++y) {
    const uint8_t* cls = Classes_.data() + static_cast<size_t>(y) * Width_;
    uint8_t* p = out.Bits + y * out.Stride;
    for (int x = 0; x < w; ++x, p += 3) {
      const Rgb c = colour[cls[x]];
      p[0] = c.R;
      p[1] = c.G;
      p[2] = c.B;
    }
  }
}

}  // namespace varo
