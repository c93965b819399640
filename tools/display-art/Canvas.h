#pragma once
// A small RGB canvas with the two file writers the artwork needs.
#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct PointF {
  double x, y;
};

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill);
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb At(int x, int y) const { return pixels_[index(x, y)]; }
  void Set(int x, int y, Rgb c) { pixels_[index(x, y)] = c; }
  // Even-odd fill of a polygon, sampled at pixel centres.
  void FillPolygon(const std::vector<PointF>& poly, Rgb c);
  void FillRect(int x, int y, int w, int h, Rgb c);
  void FrameRect(int x, int y, int w, int h, Rgb c);

  // 24-bit bottom-up BMP, the form the display bitmap ships in.
  std::string ToBmp() const;
  // XPM with one colour made transparent, for the tool-button glyphs.
  std::string ToXpm(const std::string& name, Rgb transparent) const;

 private:
  size_t index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
  int width_, height_;
  std::vector<Rgb> pixels_;
};

bool WriteFile(const std::string& path, const std::string& bytes);

}  // namespace art
