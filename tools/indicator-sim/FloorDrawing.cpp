#include "FloorDrawing.h"

#include <algorithm>
#include <vector>

#include "DisplayArt.h"
#include "core/CodeSystems.h"
#include "core/DisplayPicture.h"
#include "core/FloorLists.h"

namespace sim {

namespace {

constexpr int CellWidth = 12;
constexpr int CellHeight = 23;
constexpr int Columns = varo::DisplayWidth / CellWidth;
constexpr int Rows = varo::DisplayHeight / CellHeight;
constexpr int FramesPerRow = 2;  // fits a terminal of 80 columns

// The display picture with every segment dark, as RGB scan lines.
const std::vector<uint8_t>& BlankPicture() {
  static const std::vector<uint8_t> bits = [] {
    const art::Canvas canvas = art::DrawDisplay();
    std::vector<uint8_t> b;
    b.reserve(3u * canvas.Width() * canvas.Height());
    for (int y = 0; y < canvas.Height(); ++y)
      for (int x = 0; x < canvas.Width(); ++x) {
        const art::Rgb c = canvas.At(x, y);
        b.insert(b.end(), {c.r, c.g, c.b});
      }
    return b;
  }();
  return bits;
}

std::vector<std::string> PatternRows(const varo::SegmentPattern& pattern) {
  std::vector<uint8_t> bits = BlankPicture();
  const varo::RgbView view{bits.data(), varo::DisplayWidth, varo::DisplayHeight, 3 * varo::DisplayWidth};
  varo::PaintFrame(view, pattern);
  std::vector<std::string> rows;
  for (int row = 0; row < Rows; ++row) {
    std::string line;
    for (int column = 0; column < Columns; ++column) {
      int lit = 0, dark = 0;
      for (int y = row * CellHeight; y < (row + 1) * CellHeight; ++y)
        for (int x = column * CellWidth; x < (column + 1) * CellWidth; ++x) {
          const varo::Rgb c = view.At(x, y);
          if (c == varo::White) ++lit;
          if (c == varo::SegmentColor) ++dark;
        }
      const int enough = CellWidth * CellHeight / 4;
      line += lit >= enough ? '#' : dark >= enough ? '.' : ' ';
    }
    rows.push_back(line);
  }
  return rows;
}

std::string Describe(const varo::ProjectImage& p) {
  const int first = p.FirstFloorIndex - 8;
  const int last = varo::LastFloorList(first)[p.LastFloorIndex];
  const char* code = p.CodeSystem ? varo::CodeSystems[*p.CodeSystem].StatusText + 1 : "unknown";
  return "floors " + std::to_string(first) + " to " + std::to_string(last) + ", " + std::to_string(p.FrameCount) +
         " frames, code system " + code + ", buzzer " + (p.Buzzer ? "on" : "off") + "\n";
}

}  // namespace

std::string DrawPattern(const varo::SegmentPattern& pattern) {
  std::string text;
  for (const std::string& row : PatternRows(pattern)) text += row + "\n";
  return text;
}

std::string DrawFloors(const varo::DeviceImage& image) {
  varo::ProjectImage p;
  try {
    p = varo::DecodeDeviceImage(image, varo::CodeSystemForm::Device);
  } catch (const varo::EImageRefused& e) {
    return std::string("an image no window can show: ") + e.what() + "\n";
  }
  std::string text = Describe(p);
  const int first = p.FirstFloorIndex - 8;
  for (size_t start = 0; start < p.Frames.size(); start += FramesPerRow) {
    const size_t end = std::min(p.Frames.size(), start + FramesPerRow);
    std::vector<std::vector<std::string>> pictures;
    std::string labels;
    for (size_t i = start; i < end; ++i) {
      pictures.push_back(PatternRows(p.Frames[i]));
      std::string label = "floor " + std::to_string(first + static_cast<int>(i));
      label.resize(Columns + 2, ' ');
      labels += label;
    }
    labels.erase(labels.find_last_not_of(' ') + 1);
    text += "\n" + labels + "\n";
    for (int row = 0; row < Rows; ++row) {
      std::string line;
      for (const auto& picture : pictures) line += picture[row] + "  ";
      line.erase(line.find_last_not_of(' ') + 1);
      text += line + "\n";
    }
  }
  return text;
}

}  // namespace sim
