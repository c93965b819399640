// PaintFrame (32 fills on the display bitmap) against the same fills done
// pixel by pixel through QImage::pixel()/setPixel().
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "core/DisplayPicture.h"

namespace {

void PixelwiseFill(QImage& image, int x0, int y0, QRgb fill) {
  const QRgb black = qRgb(0, 0, 0);
  if (image.pixel(x0, y0) == black) return;
  std::vector<uint8_t> seen(static_cast<size_t>(image.width()) * image.height(), 0);
  std::vector<QPoint> stack{{x0, y0}};
  while (!stack.empty()) {
    const QPoint p = stack.back();
    stack.pop_back();
    if (p.x() < 0 || p.y() < 0 || p.x() >= image.width() || p.y() >= image.height()) continue;
    uint8_t& s = seen[static_cast<size_t>(p.y()) * image.width() + p.x()];
    if (s || image.pixel(p) == black) continue;
    s = 1;
    image.setPixel(p, fill);
    stack.push_back({p.x() + 1, p.y()});
    stack.push_back({p.x() - 1, p.y()});
    stack.push_back({p.x(), p.y() + 1});
    stack.push_back({p.x(), p.y() - 1});
  }
}

void PixelwisePaintFrame(QImage& image, const varo::SegmentPattern& pattern) {
  for (int s = 0; s < varo::SegmentCount; ++s) {
    const varo::Point seed = varo::SeedOf(s);
    PixelwiseFill(image, seed.X, seed.Y, pattern.Segment(s) ? qRgb(255, 255, 255) : qRgb(1, 128, 255));
  }
}

template <typename F>
double MedianMicroseconds(int runs, F&& paint) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    paint(i);
    times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[runs / 2];
}

}  // namespace

int main() {
  QImage image = QImage(":/display.bmp").convertToFormat(QImage::Format_RGB888);
  if (image.isNull()) {
    std::fprintf(stderr, "display bitmap missing\n");
    return 1;
  }
  // Alternate floors so that every run changes colours.
  const varo::SegmentPattern patterns[] = {varo::FloorPattern(8), varo::FloorPattern(-1),
                                           varo::SegmentPattern{{0xFF, 0xFF, 0xFF, 0xFF}}, varo::SegmentPattern{}};
  varo::RgbView view{image.bits(), image.width(), image.height(), image.bytesPerLine()};
  // The first few hundred milliseconds of a process run up to twice as slow on
  // this machine; measure only after them.
  const auto warm = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  for (int i = 0; std::chrono::steady_clock::now() < warm; ++i) varo::PaintFrame(view, patterns[i % 4]);
  const double fast = MedianMicroseconds(2001, [&](int i) { varo::PaintFrame(view, patterns[i % 4]); });
  const double slow = MedianMicroseconds(41, [&](int i) { PixelwisePaintFrame(image, patterns[i % 4]); });
  std::printf("BENCH paint_frame_median %.1f us\n", fast);
  std::printf("BENCH paint_frame_pixelwise_median %.1f us\n", slow);
  std::printf("BENCH paint_frame_speedup %.1f x\n", slow / fast);
  return 0;
}
