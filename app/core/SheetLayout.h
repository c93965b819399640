#pragma once
// The project sheet a technician prints or keeps: where its heading, its
// details and every floor's drawing go on the page, in millimetres, so that
// the PDF, the PNG and the printer share one layout.
#include <string>
#include <vector>

#include "Thumbnail.h"

namespace varo {

struct RectMm {
  double X = 0, Y = 0, Width = 0, Height = 0;
  double Right() const { return X + Width; }
  double Bottom() const { return Y + Height; }
};

constexpr double A4WidthMm = 210, A4HeightMm = 297;

// Ink-friendly drawings: lit segments black, dark ones a light grey on white paper.
constexpr ThumbnailColours PaperColours{{0, 0, 0}, {225, 225, 225}, {150, 150, 150}, {255, 255, 255}};

struct SheetLayout {
  RectMm Heading;
  std::vector<RectMm> DetailLines;
  // Frame i's drawing and, under it, its caption (floor number and pattern):
  // in floor order, left to right and then down.
  std::vector<RectMm> Drawings;
  std::vector<RectMm> Captions;
};

// `drawingAspect` is the width of a drawing over its height (the display
// picture's). Throws std::invalid_argument when the frames do not fit the page.
SheetLayout LayOutSheet(double pageWidth, double pageHeight, int frameCount, int detailLineCount,
                        double drawingAspect);

struct SheetFacts {
  int FirstFloor = 0;
  int FrameCount = 0;
  int CodeSystem = 1;
  bool Buzzer = false;
  std::string Date;      // as it is to be printed
  std::string FileName;  // empty when the project was never saved or opened
};

// The detail lines of the sheet, in Turkish (UTF-8).
std::vector<std::string> SheetDetailLines(const SheetFacts& facts);

}  // namespace varo
