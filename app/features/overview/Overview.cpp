#include "features/overview/Overview.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int Divisor = 6, Caption = 16, Gap = 6;

QImage Rgb888(const QImage& picture) { return picture.convertToFormat(QImage::Format_RGB888); }
varo::RgbView ViewOf(QImage& image) { return {image.bits(), image.width(), image.height(), image.bytesPerLine()}; }
const varo::RgbView ConstView(const QImage& image) {
  return {const_cast<uchar*>(image.constBits()), image.width(), image.height(), image.bytesPerLine()};
}
}  // namespace

TOverview::TOverview(const QImage& picture, QWidget* parent)
    : QWidget(parent, Qt::Window), Painter_(ConstView(Rgb888(picture)), Divisor) {
  Thumb_ = QImage(Painter_.Width(), Painter_.Height(), QImage::Format_RGB888);
  setWindowTitle(QString::fromUtf8("TÜM KATLAR"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TOverview::SetFrames(const std::vector<varo::SegmentPattern>& frames, int firstFloor, int current) {
  Frames_ = frames;
  FirstFloor_ = firstFloor;
  Current_ = current;
  const int rows = std::max<int>(1, (static_cast<int>(Frames_.size()) + Columns - 1) / Columns);
  setFixedSize(Gap + Columns * (Painter_.Width() + Gap), Gap + rows * (Painter_.Height() + Caption + Gap));
  update();
}

QRect TOverview::CellRect(int index) const {
  const int col = index % Columns, row = index / Columns;
  return {Gap + col * (Painter_.Width() + Gap), Gap + row * (Painter_.Height() + Caption + Gap), Painter_.Width(),
          Painter_.Height() + Caption};
}

void TOverview::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  QFont font = p.font();
  font.setBold(true);
  p.setFont(font);
  for (int i = 0; i < static_cast<int>(Frames_.size()); ++i) {
    const QRect cell = CellRect(i);
    Painter_.Paint(Frames_[i], ViewOf(Thumb_));
    p.drawImage(cell.topLeft(), Thumb_);
    p.setPen(i == Current_ ? Qt::red : Qt::black);
    p.drawText(QRect(cell.left(), cell.top() + Painter_.Height(), cell.width(), Caption), Qt::AlignCenter,
               QString::number(FirstFloor_ + i));
    if (i == Current_) p.drawRect(cell.adjusted(-2, -2, 1, 1));
  }
}

void TOverview::mousePressEvent(QMouseEvent* event) {
  for (int i = 0; i < static_cast<int>(Frames_.size()); ++i)
    if (CellRect(i).contains(event->position().toPoint())) emit FrameClicked(i);
}
