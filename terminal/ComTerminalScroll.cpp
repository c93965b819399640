// Scroll bars, the view's top-left cell and moving the window's pixels.
#include "CPortCtl.h"

#include <QScrollBar>
#include <QStyle>

namespace {

bool HasHorizontal(TScrollStyle Style) { return Style == ssHorizontal || Style == ssBoth; }
bool HasVertical(TScrollStyle Style) { return Style == ssVertical || Style == ssBoth; }

void SetBarRange(QScrollBar* Bar, int Cells, int Visible) {
  Bar->setPageStep(std::max(1, Visible));
  Bar->setRange(0, Visible < Cells ? Cells - Visible : 0);
}

}  // namespace

void TCustomComTerminal::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) {
    return;
  }
  FScrollBars = Value;
  ApplyScrollBarPolicy();
}

void TCustomComTerminal::ApplyScrollBarPolicy() {
  const bool Horizontal = HasHorizontal(FScrollBars);
  const bool Vertical = HasVertical(FScrollBars);
  setHorizontalScrollBarPolicy(Horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  // A bar that is gone can no longer scroll back, so its axis shows from the first cell.
  if (!Horizontal) {
    horizontalScrollBar()->setRange(0, 0);
  }
  if (!Vertical) {
    verticalScrollBar()->setRange(0, 0);
  }
  AdjustScrollBars();
  UpdateScrollPos();
}

void TCustomComTerminal::AdjustScrollBars() {
  if (FScrollBars == ssNone || FFontWidth <= 0 || FFontHeight <= 0) {
    return;
  }
  const bool AllowHorizontal = HasHorizontal(FScrollBars);
  const bool AllowVertical = HasVertical(FScrollBars);
  // Qt lays the bars out later (queued), so decide here from the size without bars which bars
  // the cells need; a bar on one axis narrows the other, hence the second pass.
  const QSize Full = maximumViewportSize();
  int HorizontalExtent = horizontalScrollBar()->sizeHint().height();
  int VerticalExtent = verticalScrollBar()->sizeHint().width();
  if (style()->styleHint(QStyle::SH_ScrollView_FrameOnlyAroundContents, nullptr, this)) {
    const int Spacing = style()->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing, nullptr, this);
    HorizontalExtent += Spacing;
    VerticalExtent += Spacing;
  }
  bool NeedHorizontal = false;
  bool NeedVertical = false;
  for (int Pass = 0; Pass < 2; ++Pass) {
    NeedHorizontal =
        AllowHorizontal && (Full.width() - (NeedVertical ? VerticalExtent : 0)) / FFontWidth < Columns();
    NeedVertical =
        AllowVertical && (Full.height() - (NeedHorizontal ? HorizontalExtent : 0)) / FFontHeight < Rows();
  }
  if (AllowHorizontal) {
    SetBarRange(horizontalScrollBar(), Columns(),
                (Full.width() - (NeedVertical ? VerticalExtent : 0)) / FFontWidth);
  }
  if (AllowVertical) {
    SetBarRange(verticalScrollBar(), Rows(), (Full.height() - (NeedHorizontal ? HorizontalExtent : 0)) / FFontHeight);
  }
  UpdateScrollPos();
}

void TCustomComTerminal::UpdateScrollPos() {
  FTopLeft.X = horizontalScrollBar()->value() + 1;
  FTopLeft.Y = verticalScrollBar()->value() + 1;
}

void TCustomComTerminal::resizeEvent(QResizeEvent* Event) {
  QAbstractScrollArea::resizeEvent(Event);
  AdjustScrollBars();
}

void TCustomComTerminal::scrollContentsBy(int Dx, int Dy) {
  UpdateScrollPos();
  viewport()->scroll(Dx * FFontWidth, Dy * FFontHeight);
}

void TCustomComTerminal::BufferScrolled(int Lines) {
  const QRect Area(0, 0, std::min(viewport()->width(), (Columns() - FTopLeft.X + 1) * FFontWidth),
                   std::min(viewport()->height(), (Rows() - FTopLeft.Y + 1) * FFontHeight));
  if (Area.isEmpty()) {
    return;
  }
  // The caret's pixels move with the lines, but the caret stays in its cell (the freed line,
  // which is repainted anyway): wipe the moved copy.
  const QRect Caret = FCaretPainted;
  viewport()->scroll(0, -Lines * FFontHeight, Area);
  viewport()->update(Caret.translated(0, -Lines * FFontHeight));
}
