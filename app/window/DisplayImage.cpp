#include "window/DisplayImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <stdexcept>

TDisplayImage::TDisplayImage(QWidget* parent) : QWidget(parent) {
  // Format_RGB888 keeps every colour exactly; SegmentColor and BackgroundColor
  // differ by one unit of red.
  Picture_ = QImage(QStringLiteral(":/display.bmp")).convertToFormat(QImage::Format_RGB888);
  if (Picture_.size() != QSize(varo::DisplayWidth, varo::DisplayHeight))
    throw std::runtime_error("The display bitmap is missing from the program's resources");
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A click on the picture takes the keys from the label box or the port box, so that Ctrl+Z and
  // Ctrl+V then act on the frame.
  setFocusPolicy(Qt::ClickFocus);
}

varo::RgbView TDisplayImage::View() {
  return {Picture_.bits(), Picture_.width(), Picture_.height(), Picture_.bytesPerLine()};
}

void TDisplayImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, Picture_);
}

void TDisplayImage::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TDisplayImage::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseUp(event->button(), event->modifiers(), at.x(), at.y());
}
