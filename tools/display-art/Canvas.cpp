#include "Canvas.h"

#include <cstdio>
#include <map>

namespace art {

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

static bool Inside(const std::vector<PointF>& poly, double x, double y) {
  bool in = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const PointF& a = poly[i];
    const PointF& b = poly[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

void Canvas::FillPolygon(const std::vector<PointF>& poly, Rgb c) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (Inside(poly, x + 0.5, y + 0.5)) Set(x, y, c);
}

void Canvas::FillRect(int x, int y, int w, int h, Rgb c) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i)
      if (i >= 0 && j >= 0 && i < width_ && j < height_) Set(i, j, c);
}

void Canvas::FrameRect(int x, int y, int w, int h, Rgb c) {
  FillRect(x, y, w, 1, c);
  FillRect(x, y + h - 1, w, 1, c);
  FillRect(x, y, 1, h, c);
  FillRect(x + w - 1, y, 1, h, c);
}

static void PutLe(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string Canvas::ToBmp() const {
  const uint32_t rowBytes = (static_cast<uint32_t>(width_) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * height_;
  std::string s;
  s += "BM";
  PutLe(s, 54 + imageBytes, 4);
  PutLe(s, 0, 4);
  PutLe(s, 54, 4);
  PutLe(s, 40, 4);
  PutLe(s, width_, 4);
  PutLe(s, height_, 4);
  PutLe(s, 1, 2);
  PutLe(s, 24, 2);
  PutLe(s, 0, 4);
  PutLe(s, imageBytes, 4);
  PutLe(s, 3780, 4);  // 96 dpi
  PutLe(s, 3780, 4);
  PutLe(s, 0, 4);
  PutLe(s, 0, 4);
  for (int y = height_ - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width_; ++x) {
      const Rgb c = At(x, y);
      row.push_back(static_cast<char>(c.b));
      row.push_back(static_cast<char>(c.g));
      row.push_back(static_cast<char>(c.r));
    }
    row.resize(rowBytes, '\0');
    s += row;
  }
  return s;
}

std::string Canvas::ToXpm(const std::string& name, Rgb transparent) const {
  static const char kSymbols[] = ".#abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::map<uint32_t, char> symbols;
  auto key = [](Rgb c) { return (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; };
  for (const Rgb& c : pixels_)
    if (!symbols.count(key(c))) symbols[key(c)] = kSymbols[symbols.size()];
  std::string s = "/* XPM */\nstatic const char *" + name + "[] = {\n";
  char buf[64];
  std::snprintf(buf, sizeof buf, "\"%d %d %zu 1\",\n", width_, height_, symbols.size());
  s += buf;
  for (const auto& [k, sym] : symbols) {
    if (k == key(transparent))
      std::snprintf(buf, sizeof buf, "\"%c c None\",\n", sym);
    else
      std::snprintf(buf, sizeof buf, "\"%c c #%06X\",\n", sym, k);
    s += buf;
  }
  for (int y = 0; y < height_; ++y) {
    s += '"';
    for (int x = 0; x < width_; ++x) s += symbols[key(At(x, y))];
    s += y + 1 < height_ ? "\",\n" : "\"\n";
  }
  s += "};\n";
  return s;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace art
