#include "TermScreen.h"

#include <algorithm>

namespace {

const TColor ColourNumbers[8] = {0x00000000, 0x000000FF, 0x00008000, 0x0000FFFF,
                                 0x00FF0000, 0x00800080, 0x000080FF, 0x00FFFFFF};

}  // namespace

TTermScreen::TTermScreen() {
  FTermAttr.FrontColor = FFontColor;
  FTermAttr.BackColor = FColor;
  FBuffer.Allocate(FColumns, FRows);
}

void TTermScreen::SetColumns(int Value) {
  // The unclamped value is compared, so 300 on a 256-column screen still clears it.
  if (Value == FColumns) {
    return;
  }
  FColumns = std::clamp(Value, MinColumns, MaxColumns);
  SizeChanged();
}

void TTermScreen::SetRows(int Value) {
  if (Value == FRows) {
    return;
  }
  FRows = std::clamp(Value, MinRows, MaxRows);
  SizeChanged();
}

void TTermScreen::SizeChanged() {
  ScreenSizeChanged();
  FBuffer.Allocate(FColumns, FRows);
  // The next character must land inside the new size.
  PlaceCaret(FCaretPos.X, FCaretPos.Y);
  ScreenChanged();
}

void TTermScreen::SetAltColor(TColor Value) {
  FAltColor = Value;
  ColorsChanged();
}

void TTermScreen::SetColor(TColor Value) {
  FColor = Value;
  FTermAttr.BackColor = Value;
  ColorsChanged();
}

void TTermScreen::SetFontColor(TColor Value) {
  FFontColor = Value;
  FTermAttr.FrontColor = Value;
  ColorsChanged();
}

void TTermScreen::PlaceCaret(int X, int Y) {
  FCaretPos.X = std::clamp(X, 1, FColumns);
  FCaretPos.Y = std::clamp(Y, 1, FRows);
  CaretMoved();
}

void TTermScreen::MoveCaret(TCaretMove Move) {
  const int X = FCaretPos.X;
  const int Y = FCaretPos.Y;
  switch (Move) {
    case cmAdvance:
      if (X < FColumns) {
        PlaceCaret(X + 1, Y);
      } else if (FWrapLines) {
        if (Y >= FRows) {
          ScrollUp();
          PlaceCaret(1, Y);
        } else {
          PlaceCaret(1, Y + 1);
        }
      }
      break;
    case cmReturn:
      PlaceCaret(1, Y);
      break;
    case cmLineFeed:
      if (Y >= FRows) {
        ScrollUp();
      } else {
        PlaceCaret(X, Y + 1);
      }
      break;
    case cmReverseLineFeed:
      if (Y <= 1) {
        ScrollDown();
      } else {
        PlaceCaret(X, Y - 1);
      }
      break;
    case cmTab: {
      const int Stop = FBuffer.NextTab(X + 1);
      if (Stop > 0) {
        PlaceCaret(Stop, Y);
      }
      break;
    }
    case cmBackspace:
      PlaceCaret(X - 1, Y);
      break;
    case cmFormFeed:
      ClearScreen();
      break;
  }
}

TTermChar TTermScreen::NewCell(char Ch) const {
  TTermChar Cell;
  Cell.Ch = Ch;
  Cell.FrontColor = FTermAttr.Bold ? FAltColor : FTermAttr.Invert ? FTermAttr.BackColor : FTermAttr.FrontColor;
  Cell.BackColor = FTermAttr.Invert ? FTermAttr.FrontColor : FTermAttr.BackColor;
  Cell.Underline = FTermAttr.Underline;
  return Cell;
}

void TTermScreen::WriteChar(char Ch) {
  FBuffer.SetChar(FCaretPos.X, FCaretPos.Y, NewCell(Ch));
  CellChanged(FCaretPos.X, FCaretPos.Y);
  MoveCaret(cmAdvance);
}

void TTermScreen::ClearScreen() {
  FBuffer.Allocate(FColumns, FRows);
  PlaceCaret(1, 1);
  ScreenChanged();
}

void TTermScreen::FillScreen(char Ch) {
  TTermChar Cell;
  Cell.Ch = Ch;
  Cell.FrontColor = FFontColor;
  Cell.BackColor = FColor;
  FBuffer.Fill(Cell);
  ScreenChanged();
}

void TTermScreen::EraseLineFrom(int X, int Y) {
  FBuffer.EraseLineFrom(X, Y);
  InvalidateCells(X, Y, FColumns, Y);
}

void TTermScreen::EraseScreenFrom(int X, int Y) {
  FBuffer.EraseScreenFrom(X, Y);
  InvalidateCells(X, Y, FColumns, Y);
  if (Y < FRows) {
    InvalidateCells(1, Y + 1, FColumns, FRows);
  }
}

void TTermScreen::ScrollUp() {
  FBuffer.ScrollUp();
  BufferScrolled(1);
}

void TTermScreen::ScrollDown() {
  FBuffer.ScrollDown();
  BufferScrolled(-1);
}

void TTermScreen::ResetAttr() {
  FTermAttr.FrontColor = FFontColor;
  FTermAttr.BackColor = FColor;
  FTermAttr.Invert = false;
  FTermAttr.Bold = false;
  FTermAttr.Underline = false;
}

void TTermScreen::SetAttributes(const TEscapeParams& Params) {
  if (Params.empty()) {
    ResetAttr();
  }
  for (int Index = 1; Index <= static_cast<int>(Params.size()); ++Index) {
    const int Value = TEscapeCodes::ParamValue(Index, &Params);
    switch (Value) {
      case 0: ResetAttr(); break;
      case 1: FTermAttr.Bold = true; break;
      case 4: FTermAttr.Underline = true; break;
      case 7: FTermAttr.Invert = true; break;
      case 21: FTermAttr.Bold = false; break;
      case 24: FTermAttr.Underline = false; break;
      case 27: FTermAttr.Invert = false; break;
      case 38: FTermAttr.FrontColor = 0x00000080; break;
      case 39: FTermAttr.FrontColor = 0x00808080; break;
      case 48: FTermAttr.BackColor = 0x00000080; break;
      case 49: FTermAttr.BackColor = 0x00808080; break;
      default:
        if (Value >= 30 && Value <= 37) {
          FTermAttr.FrontColor = ColourNumbers[Value - 30];
        } else if (Value >= 40 && Value <= 47) {
          FTermAttr.BackColor = ColourNumbers[Value - 40];
        }
        break;
    }
  }
}

void TTermScreen::SetMode(const TEscapeParams& Params, bool Value) {
  if (Params.empty()) {
    return;
  }
  const std::string& Mode = Params.front();
  if (Mode == "?1") {
    FAppCursorKeys = Value;
  } else if (Mode == "?7") {
    FWrapLines = Value;
  } else if (Mode == "?3") {
    SetColumns(Value ? 132 : 80);
  }
}
