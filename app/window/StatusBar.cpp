#include "window/StatusBar.h"

#include <QPainter>

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TStatusBar::SetPanelText(int panel, const QString& text) {
  Texts_.at(panel) = text;
  update();
}

QRect TStatusBar::TextRect(int panel) const {
  int x = 0;
  for (int i = 0; i < panel; ++i) x += Widths_[i];
  return QRect(x, 2, Widths_.at(panel) - 2, height() - 2).adjusted(2, 0, -2, 0);
}

QFont TStatusBar::FittedFont(const QString& text, int width) const {
  QFont fitted = font();
  int pixels = QFontInfo(fitted).pixelSize();
  // " 7 Segment" is wider than its 60-pixel panel in the bar's own size; a smaller size keeps it whole.
  while (pixels > 7 && QFontMetrics(fitted).horizontalAdvance(text) > width) fitted.setPixelSize(--pixels);
  return fitted;
}

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(255, 255, 0));
  int x = 0;
  for (int i = 0; i < PanelCount; ++i) {
    const QRect panel(x, 2, Widths_[i] - 2, height() - 2);
    p.setPen(QColor(128, 128, 0));
    p.drawRect(panel.adjusted(0, 0, -1, -1));
    // Dark on the yellow: white, as the layout names it, cannot be read there.
    p.setPen(isEnabled() ? Qt::black : QColor(128, 128, 64));
    const QRect text = TextRect(i);
    p.setFont(FittedFont(Texts_[i], text.width()));
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, Texts_[i]);
    x += Widths_[i];
  }
}
