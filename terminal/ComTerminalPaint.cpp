// Painting of the cells and the caret, and what the screen rules ask to repaint.
#include "CPortCtl.h"
#include "Windows1254.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

QColor ToQColor(TColor Color) { return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF); }

}  // namespace

QRect TCustomComTerminal::CellsRect(int Left, int Top, int Right, int Bottom) const {
  const int X0 = std::max(0, (Left - FTopLeft.X) * FFontWidth);
  const int Y0 = std::max(0, (Top - FTopLeft.Y) * FFontHeight);
  const int X1 = (Right - FTopLeft.X + 1) * FFontWidth;
  const int Y1 = (Bottom - FTopLeft.Y + 1) * FFontHeight;
  if (X1 <= X0 || Y1 <= Y0) {
    return QRect();
  }
  return QRect(X0, Y0, X1 - X0, Y1 - Y0);
}

QRect TCustomComTerminal::CaretRect() const {
  const int Height = FCaret == tcBlock ? FFontHeight : FCaret == tcUnderline ? FFontHeight / 8 : 0;
  return QRect((CaretPos().X - FTopLeft.X) * FFontWidth,
               (CaretPos().Y - FTopLeft.Y) * FFontHeight + FFontHeight - Height, FFontWidth, Height);
}

void TCustomComTerminal::CellChanged(int X, int Y) {
  // The program's terminal is never shown and gets every received byte: skip the repaint request.
  if (viewport()->isVisible()) {
    viewport()->update(CellsRect(X, Y, X, Y));
  }
}

void TCustomComTerminal::InvalidateCells(int Left, int Top, int Right, int Bottom) {
  viewport()->update(CellsRect(Left, Top, Right, Bottom));
}

void TCustomComTerminal::ScreenChanged() { viewport()->update(); }

void TCustomComTerminal::DrawCell(QPainter& Painter, int X, int Y, const TTermChar& Cell) const {
  const QRect Rect((X - 1) * FFontWidth, (Y - 1) * FFontHeight, FFontWidth, FFontHeight);
  Painter.fillRect(Rect, ToQColor(Cell.BackColor));
  if (Cell.Underline != Painter.font().underline()) {
    QFont Font = Painter.font();
    Font.setUnderline(Cell.Underline);
    Painter.setFont(Font);
  }
  Painter.setPen(ToQColor(Cell.FrontColor));
  const char32_t Shown = Windows1254ToUnicode(static_cast<unsigned char>(Cell.Ch));
  Painter.drawText(Rect.left(), Rect.top() + FFontAscent, QString::fromUcs4(&Shown, 1));
}

void TCustomComTerminal::paintEvent(QPaintEvent* Event) {
  QPainter Painter(viewport());
  Painter.setFont(font());
  const QRect Clip = Event->rect();
  const TComTermBuffer& Cells = Buffer();
  // Window cells touched by the clip rectangle, cut where the buffer ends.
  const int Left = Clip.left() / FFontWidth + 1;
  const int Top = Clip.top() / FFontHeight + 1;
  const int Right = std::min(Clip.right() / FFontWidth + 1, Cells.Columns() - FTopLeft.X + 1);
  const int Bottom = std::min(Clip.bottom() / FFontHeight + 1, Cells.Rows() - FTopLeft.Y + 1);
  for (int Y = Top; Y <= Bottom; ++Y) {
    for (int X = Left; X <= Right; ++X) {
      const TTermChar Cell = Cells.GetChar(X + FTopLeft.X - 1, Y + FTopLeft.Y - 1);
      if (Cell.Ch != 0) {
        DrawCell(Painter, X, Y, Cell);
      }
    }
  }
  FCaretPainted = QRect();
  if (CaretShown() && FCaretBlinkOn) {
    // Inverted like a system caret, so the character under a block caret stays readable.
    FCaretPainted = CaretRect();
    Painter.setCompositionMode(QPainter::CompositionMode_Difference);
    Painter.fillRect(FCaretPainted, Qt::white);
  }
}
