#include "features/sheet/Sheet.h"

#include <QImage>
#include <QPainter>
#include <cmath>

#include "core/PatternText.h"
#include "core/Thumbnail.h"

const char* const SheetHeading = "VARO kat göstergesi";

namespace {

// Text heights on the page, in millimetres.
constexpr double HeadingMm = 6, DetailMm = 3.6, FloorMm = 3.4, PatternMm = 2.4;

// Drawings at half the display picture's size: sharp enough for paper.
const varo::ThumbnailPainter& SheetDrawings() {
  static const QImage picture = QImage(QStringLiteral(":/display.bmp")).convertToFormat(QImage::Format_RGB888);
  static const varo::ThumbnailPainter painter(
      {const_cast<uchar*>(picture.constBits()), picture.width(), picture.height(), picture.bytesPerLine()}, 2);
  return painter;
}

QFont SheetFont(double mm, double pixelsPerMm, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(mm * pixelsPerMm))));
  font.setBold(bold);
  return font;
}

}  // namespace

varo::SheetLayout SheetLayoutFor(const QSizeF& pageMm, const TSheet& sheet) {
  const varo::ThumbnailPainter& drawings = SheetDrawings();
  return varo::LayOutSheet(pageMm.width(), pageMm.height(), static_cast<int>(sheet.Frames.size()),
                           static_cast<int>(varo::SheetDetailLines(sheet.Facts).size()),
                           static_cast<double>(drawings.Width()) / drawings.Height());
}

void PaintSheet(QPainter& painter, const QSizeF& pageMm, const TSheet& sheet) {
  const varo::SheetLayout layout = SheetLayoutFor(pageMm, sheet);
  const std::vector<std::string> details = varo::SheetDetailLines(sheet.Facts);
  const double k = painter.device()->width() / pageMm.width();
  auto onPage = [k](const varo::RectMm& r) { return QRectF(r.X * k, r.Y * k, r.Width * k, r.Height * k); };

  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setPen(Qt::black);
  painter.setFont(SheetFont(HeadingMm, k, true));
  painter.drawText(onPage(layout.Heading), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(SheetHeading));
  painter.setFont(SheetFont(DetailMm, k, false));
  const QFontMetricsF detailMetrics(painter.font(), painter.device());
  for (size_t i = 0; i < details.size(); ++i) {
    const QRectF line = onPage(layout.DetailLines[i]);
    // A long path keeps its start and its file name, with "…" between, inside the margin.
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     detailMetrics.elidedText(QString::fromStdString(details[i]), Qt::ElideMiddle, line.width()));
  }

  const varo::ThumbnailPainter& drawings = SheetDrawings();
  const QFont floorFont = SheetFont(FloorMm, k, true), patternFont = SheetFont(PatternMm, k, false);
  for (size_t i = 0; i < sheet.Frames.size(); ++i) {
    // An image of its own per floor: the PDF engine keeps images by their cache key.
    QImage drawing(drawings.Width(), drawings.Height(), QImage::Format_RGB888);
    drawings.Paint(sheet.Frames[i], {drawing.bits(), drawing.width(), drawing.height(), drawing.bytesPerLine()},
                   varo::PaperColours);
    painter.drawImage(onPage(layout.Drawings[i]), drawing);
    const QRectF caption = onPage(layout.Captions[i]);
    const QRectF floorLine(caption.left(), caption.top(), caption.width(), caption.height() * 0.55);
    const QRectF patternLine(caption.left(), floorLine.bottom(), caption.width(), caption.height() - floorLine.height());
    painter.setPen(Qt::black);
    painter.setFont(floorFont);
    painter.drawText(floorLine, Qt::AlignCenter, QString::number(sheet.Facts.FirstFloor + static_cast<int>(i)));
    painter.setPen(QColor(90, 90, 90));
    painter.setFont(patternFont);
    painter.drawText(patternLine, Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromStdString(varo::PatternText(sheet.Frames[i])));
  }
  painter.restore();
}
