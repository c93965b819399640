#include "features/TopRowButton.h"

#include <QIcon>
#include <QToolButton>

QToolButton* AddTopRowButton(QWidget* window, const char* name, const QRect& geometry, const char* glyph,
                             const char* tip) {
  auto* button = new QToolButton(window);
  button->setObjectName(name);
  button->setGeometry(geometry);
  button->setIcon(QIcon(QString(":/glyphs/%1.xpm").arg(glyph)));
  button->setIconSize(QSize(20, 19));
  button->setToolTip(QString::fromUtf8(tip));
  button->setCursor(Qt::PointingHandCursor);
  return button;
}
