#include "SheetLayout.h"

#include <algorithm>
#include <stdexcept>

#include "CodeSystems.h"

namespace varo {
namespace {

constexpr double Margin = 15, HeadingHeight = 10, DetailLineHeight = 5.5, GridTopGap = 6;
constexpr double GapX = 4, GapY = 3, CaptionHeight = 7;
// Few floors still get drawings of a size that reads like the rest.
constexpr double MaxDrawingWidth = 45;
// Below this the segments no longer show on paper.
constexpr double MinDrawingWidth = 8;

}  // namespace

SheetLayout LayOutSheet(double pageWidth, double pageHeight, int frameCount, int detailLineCount,
                        double drawingAspect) {
  SheetLayout layout;
  const double width = pageWidth - 2 * Margin;
  layout.Heading = {Margin, Margin, width, HeadingHeight};
  double y = layout.Heading.Bottom() + 2;
  for (int i = 0; i < detailLineCount; ++i, y += DetailLineHeight)
    layout.DetailLines.push_back({Margin, y, width, DetailLineHeight});
  const double gridTop = y + GridTopGap;
  const double height = pageHeight - Margin - gridTop;
  if (frameCount <= 0) return layout;

  // The column count that gives the largest drawings; on a tie the wider grid.
  double drawingWidth = 0;
  int columns = 0;
  for (int c = 1; c <= frameCount; ++c) {
    const int rows = (frameCount + c - 1) / c;
    const double byWidth = (width - (c - 1) * GapX) / c;
    const double byHeight = ((height - (rows - 1) * GapY) / rows - CaptionHeight) * drawingAspect;
    const double w = std::min({byWidth, byHeight, MaxDrawingWidth});
    if (w >= drawingWidth - 1e-9) {
      drawingWidth = w;
      columns = c;
    }
  }
  if (drawingWidth < MinDrawingWidth) throw std::invalid_argument("the floors do not fit the page");

  const double drawingHeight = drawingWidth / drawingAspect;
  const double gridWidth = columns * drawingWidth + (columns - 1) * GapX;
  const double left = Margin + (width - gridWidth) / 2;
  for (int i = 0; i < frameCount; ++i) {
    const double x = left + (i % columns) * (drawingWidth + GapX);
    const double top = gridTop + (i / columns) * (drawingHeight + CaptionHeight + GapY);
    layout.Drawings.push_back({x, top, drawingWidth, drawingHeight});
    layout.Captions.push_back({x, top + drawingHeight, drawingWidth, CaptionHeight});
  }
  return layout;
}

std::vector<std::string> SheetDetailLines(const SheetFacts& facts) {
  std::vector<std::string> lines;
  const int last = facts.FirstFloor + facts.FrameCount - 1;
  if (facts.FrameCount <= 0)
    lines.push_back("Katlar: yok");
  else if (facts.FrameCount == 1)
    lines.push_back("Kat: " + std::to_string(facts.FirstFloor));
  else
    lines.push_back("Katlar: " + std::to_string(facts.FirstFloor) + " ile " + std::to_string(last) + " arası, " +
                    std::to_string(facts.FrameCount) + " kat");
  lines.push_back(std::string("Kod sistemi: ") +
                  (facts.CodeSystem >= 0 && facts.CodeSystem < CodeSystemCount
                       ? CodeSystems[facts.CodeSystem].ComboText
                       : "bilinmiyor (" + std::to_string(facts.CodeSystem) + ")"));
  lines.push_back(std::string("Buzzer: ") + (facts.Buzzer ? "açık" : "kapalı"));
  lines.push_back("Tarih: " + facts.Date);
  if (!facts.FileName.empty()) lines.push_back("Dosya: " + facts.FileName);
  return lines;
}

}  // namespace varo
