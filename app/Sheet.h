#pragma once
// The project sheet: one painter routine for any paint device (PDF, PNG,
// printer), and writing it to a file without losing an earlier one.
#include <QSizeF>
#include <QString>
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

// A4 PNGs are written at this resolution.
constexpr int SheetPngDpi = 150;

// Write an A4 page. On failure they return why, in Turkish, and leave any
// file already at `path` as it was; on success an empty string.
QString WriteSheetPdf(const QString& path, const TSheet& sheet);
QString WriteSheetPng(const QString& path, const TSheet& sheet);
