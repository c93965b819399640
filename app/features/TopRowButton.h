#pragma once
// A tool button with a 20 x 19 glyph from resources/glyphs, in the free space right of the frame
// counter, where the features put their buttons.
#include <QRect>

class QToolButton;
class QWidget;

QToolButton* AddTopRowButton(QWidget* window, const char* name, const QRect& geometry, const char* glyph,
                             const char* tip);
