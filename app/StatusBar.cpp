#include "StatusBar.h"

#include <QPainter>

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TStatusBar::SetPanelText(int panel, const QString& text) {
  Texts_.at(panel) = text;
  update();
}

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(255, 255, 0));
  p.setFont(font());
  int x = 0;
  for (int i = 0; i < PanelCount; ++i) {
    const QRect panel(x, 2, Widths_[i] - 2, height() - 2);
    p.setPen(QColor(128, 128, 0));
    p.drawRect(panel.adjusted(0, 0, -1, -1));
    p.setPen(isEnabled() ? Qt::white : QColor(200, 200, 160));
    p.drawText(panel.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, Texts_[i]);
    x += Widths_[i];
  }
}
