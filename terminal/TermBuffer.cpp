#include "TermScreen.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace {

static_assert(std::is_trivially_copyable_v<TTermChar>, "cells are erased bytewise");

// An empty cell is all zero bytes, so erasing is a plain memset, which matters for a terminal
// that is told to clear its screen many times a second.
void Erase(std::vector<TTermChar>::iterator First, std::vector<TTermChar>::iterator Last) {
  if (First < Last) {
    std::memset(static_cast<void*>(&*First), 0, static_cast<std::size_t>(Last - First) * sizeof(TTermChar));
  }
}

}  // namespace

void TComTermBuffer::Allocate(int Columns, int Rows) {
  FColumns = std::max(Columns, 0);
  FRows = std::max(Rows, 0);
  FCells.assign(static_cast<std::size_t>(FColumns) * static_cast<std::size_t>(FRows), TTermChar{});
  FTabs.assign(static_cast<std::size_t>(FColumns), 0);
  for (int X = 1; X <= FColumns; X += 8) {
    FTabs[X - 1] = 1;
  }
}

void TComTermBuffer::Fill(const TTermChar& Cell) {
  if (FCells.empty()) {
    return;
  }
  // Copying whole cells in doubling blocks runs at memcpy speed; a cell-by-cell fill does not.
  FCells[0] = Cell;
  const std::size_t Count = FCells.size();
  for (std::size_t Done = 1; Done < Count;) {
    const std::size_t Block = std::min(Done, Count - Done);
    std::memcpy(static_cast<void*>(&FCells[Done]), &FCells[0], Block * sizeof(TTermChar));
    Done += Block;
  }
}

void TComTermBuffer::ScrollUp() {
  if (FRows == 0) {
    return;
  }
  std::move(FCells.begin() + FColumns, FCells.end(), FCells.begin());
  Erase(FCells.end() - FColumns, FCells.end());
}

void TComTermBuffer::ScrollDown() {
  if (FRows == 0) {
    return;
  }
  std::move_backward(FCells.begin(), FCells.end() - FColumns, FCells.end());
  Erase(FCells.begin(), FCells.begin() + FColumns);
}

void TComTermBuffer::EraseLineFrom(int X, int Y) {
  X = std::max(X, 1);
  if (!Contains(X, Y)) {
    return;
  }
  Erase(FCells.begin() + static_cast<std::ptrdiff_t>(Index(X, Y)),
        FCells.begin() + static_cast<std::ptrdiff_t>(Index(FColumns, Y)) + 1);
}

void TComTermBuffer::EraseScreenFrom(int X, int Y) {
  if (Y < 1 || Y > FRows) {
    return;
  }
  // Column Columns + 1 is the start of the next row.
  X = std::clamp(X, 1, FColumns + 1);
  Erase(FCells.begin() + static_cast<std::ptrdiff_t>(Index(X, Y)), FCells.end());
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
