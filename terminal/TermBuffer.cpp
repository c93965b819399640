#include "TermScreen.h"

#include <algorithm>

void TComTermBuffer::Allocate(int Columns, int Rows) {
  FColumns = std::max(Columns, 0);
  FRows = std::max(Rows, 0);
  FCells.assign(static_cast<std::size_t>(FColumns) * static_cast<std::size_t>(FRows), TTermChar{});
  FTabs.assign(static_cast<std::size_t>(FColumns), 0);
  for (int X = 1; X <= FColumns; X += 8) {
    FTabs[X - 1] = 1;
  }
}

void TComTermBuffer::SetChar(int X, int Y, const TTermChar& Cell) {
  if (Contains(X, Y)) {
    FCells[Index(X, Y)] = Cell;
  }
}

TTermChar TComTermBuffer::GetChar(int X, int Y) const {
  return Contains(X, Y) ? FCells[Index(X, Y)] : TTermChar{};
}

void TComTermBuffer::Fill(const TTermChar& Cell) { std::fill(FCells.begin(), FCells.end(), Cell); }

void TComTermBuffer::ScrollUp() {
  if (FRows == 0) {
    return;
  }
  std::move(FCells.begin() + FColumns, FCells.end(), FCells.begin());
  std::fill(FCells.end() - FColumns, FCells.end(), TTermChar{});
}

void TComTermBuffer::ScrollDown() {
  if (FRows == 0) {
    return;
  }
  std::move_backward(FCells.begin(), FCells.end() - FColumns, FCells.end());
  std::fill(FCells.begin(), FCells.begin() + FColumns, TTermChar{});
}

void TComTermBuffer::EraseLineFrom(int X, int Y) {
  X = std::max(X, 1);
  if (!Contains(X, Y)) {
    return;
  }
  std::fill(FCells.begin() + static_cast<std::ptrdiff_t>(Index(X, Y)),
            FCells.begin() + static_cast<std::ptrdiff_t>(Index(FColumns, Y)) + 1, TTermChar{});
}

void TComTermBuffer::EraseScreenFrom(int X, int Y) {
  if (Y < 1 || Y > FRows) {
    return;
  }
  // Column Columns + 1 is the start of the next row.
  X = std::clamp(X, 1, FColumns + 1);
  std::fill(FCells.begin() + static_cast<std::ptrdiff_t>(Index(X, Y)), FCells.end(), TTermChar{});
}

bool TComTermBuffer::GetTab(int X) const { return X >= 1 && X <= FColumns && FTabs[X - 1] != 0; }

void TComTermBuffer::SetTab(int X, bool Value) {
  if (X >= 1 && X <= FColumns) {
    FTabs[X - 1] = Value ? 1 : 0;
  }
}

void TComTermBuffer::ClearTabs() { std::fill(FTabs.begin(), FTabs.end(), 0); }

int TComTermBuffer::NextTab(int X) const {
  for (int Column = std::max(X, 1); Column <= FColumns; ++Column) {
    if (FTabs[Column - 1] != 0) {
      return Column;
    }
  }
  return 0;
}
