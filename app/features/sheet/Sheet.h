#pragma once
// The project sheet: one painter routine for any paint device (PDF, PNG, printer).
#include <QSizeF>
#include <vector>

#include "core/SegmentPattern.h"
#include "core/SheetLayout.h"

class QPainter;

// The heading of the page, and the name of the document it makes.
extern const char* const SheetHeading;

struct TSheet {
  std::vector<varo::SegmentPattern> Frames;
  varo::SheetFacts Facts;
};

// Paints the sheet over the painter's whole device, which shows a page of pageMm.
void PaintSheet(QPainter& painter, const QSizeF& pageMm, const TSheet& sheet);

// The layout PaintSheet uses for a page of pageMm.
varo::SheetLayout SheetLayoutFor(const QSizeF& pageMm, const TSheet& sheet);
