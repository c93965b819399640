// Screen side of unit CPortCtl that needs no window: the cell buffer with its tab stops and the
// caret, attribute, mode, erase and scroll rules. Include CPortCtl.h, the unit's face, from outside
// this folder; this header stays apart so the rules can be tested and fuzzed without Qt.
#pragma once

#include "CPortEsc.h"

#include <cstdint>
#include <vector>

using TColor = std::uint32_t;  // $00BBGGRR

struct TTermChar {
  char Ch = 0;  // 0 marks an empty cell
  TColor FrontColor = 0;
  TColor BackColor = 0;
  bool Underline = false;
};

struct TTermAttr {
  TColor FrontColor = 0;
  TColor BackColor = 0;
  bool Invert = false;
  bool Bold = false;
  bool Underline = false;
};

struct TTermPoint {
  int X = 0;
  int Y = 0;
};

// Columns x Rows cells, row after row, and one tab stop flag per column; X and Y count from 1.
// Out-of-range cells read as empty and ignore writes.
class TComTermBuffer {
 public:
  void Allocate(int Columns, int Rows);
  int Columns() const { return FColumns; }
  int Rows() const { return FRows; }

  // Inline: every received character passes here.
  void SetChar(int X, int Y, const TTermChar& Cell) {
    if (Contains(X, Y)) {
      FCells[Index(X, Y)] = Cell;
    }
  }
  TTermChar GetChar(int X, int Y) const { return Contains(X, Y) ? FCells[Index(X, Y)] : TTermChar{}; }
  void Fill(const TTermChar& Cell);
  void ScrollUp();
  void ScrollDown();
  void EraseLineFrom(int X, int Y);
  void EraseScreenFrom(int X, int Y);

  bool GetTab(int X) const;
  void SetTab(int X, bool Value);
  void ClearTabs();
  int NextTab(int X) const;  // first stop from X to Columns, 0 when none

 private:
  bool Contains(int X, int Y) const { return X >= 1 && X <= FColumns && Y >= 1 && Y <= FRows; }
  std::size_t Index(int X, int Y) const {
    return static_cast<std::size_t>(Y - 1) * static_cast<std::size_t>(FColumns) + static_cast<std::size_t>(X - 1);
  }

  int FColumns = 0;
  int FRows = 0;
  std::vector<TTermChar> FCells;
  std::vector<char> FTabs;
};

enum TCaretMove { cmAdvance, cmReturn, cmLineFeed, cmReverseLineFeed, cmTab, cmBackspace, cmFormFeed };

// The terminal's screen state and operations. The view overrides the protected hooks to repaint.
class TTermScreen {
 public:
  static constexpr int MinColumns = 2;
  static constexpr int MaxColumns = 256;
  static constexpr int MinRows = 2;
  static constexpr int MaxRows = 100;

  TTermScreen();
  virtual ~TTermScreen() = default;
  TTermScreen(const TTermScreen&) = delete;
  TTermScreen& operator=(const TTermScreen&) = delete;

  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  int Rows() const { return FRows; }
  void SetRows(int Value);
  bool WrapLines() const { return FWrapLines; }
  void SetWrapLines(bool Value) { FWrapLines = Value; }
  TColor AltColor() const { return FAltColor; }
  void SetAltColor(TColor Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor FontColor() const { return FFontColor; }
  void SetFontColor(TColor Value);
  bool AppCursorKeys() const { return FAppCursorKeys; }

  TTermPoint CaretPos() const { return FCaretPos; }
  const TTermAttr& TermAttr() const { return FTermAttr; }
  TComTermBuffer& Buffer() { return FBuffer; }
  const TComTermBuffer& Buffer() const { return FBuffer; }

  void PlaceCaret(int X, int Y);
  void MoveCaret(TCaretMove Move);
  // Stores Ch with the current attributes in the caret cell, paints it, then advances.
  void WriteChar(char Ch);
  void ClearScreen();
  void FillScreen(char Ch);
  void EraseLineFrom(int X, int Y);
  void EraseScreenFrom(int X, int Y);
  void SetAttributes(const TEscapeParams& Params);
  void SetMode(const TEscapeParams& Params, bool Value);
  void SaveCaret() { FSavedCaret = FCaretPos; }
  void RestoreCaret() { PlaceCaret(FSavedCaret.X, FSavedCaret.Y); }
  void SaveAttr() { FSavedAttr = FTermAttr; }
  void RestoreAttr() { FTermAttr = FSavedAttr; }

 protected:
  // Buffer cells, 1-based.
  virtual void CellChanged(int /*X*/, int /*Y*/) {}
  virtual void InvalidateCells(int /*Left*/, int /*Top*/, int /*Right*/, int /*Bottom*/) {}
  // +1: the lines moved up by one; -1: down by one.
  virtual void BufferScrolled(int /*Lines*/) {}
  virtual void ScreenChanged() {}
  virtual void ScreenSizeChanged() {}
  virtual void ColorsChanged() {}
  virtual void CaretMoved() {}

 private:
  TTermChar NewCell(char Ch) const;
  void SizeChanged();
  void ResetAttr();
  void ScrollUp();
  void ScrollDown();

  int FColumns = 80;
  int FRows = 24;
  bool FWrapLines = false;
  TColor FAltColor = 0x00A6A6A6;
  TColor FColor = 0x00000000;
  TColor FFontColor = 0x00FFFFFF;
  bool FAppCursorKeys = false;
  TTermPoint FCaretPos{1, 1};
  TTermPoint FSavedCaret{0, 0};
  TTermAttr FTermAttr;
  TTermAttr FSavedAttr;
  TComTermBuffer FBuffer;
};
