#include "terminal/TermScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const TColor White = 0x00FFFFFF;
const TColor Black = 0x00000000;
const TColor Red = 0x000000FF;
const TColor Green = 0x00008000;

// Records what the screen asks its view to repaint.
class TRecordingScreen : public TTermScreen {
 public:
  std::vector<std::string> Log;

  void Write(const std::string& Text) {
    for (const char Ch : Text) {
      WriteChar(Ch);
    }
  }
  char At(int X, int Y) const { return Buffer().GetChar(X, Y).Ch; }
  std::pair<int, int> Caret() const { return {CaretPos().X, CaretPos().Y}; }
  bool Logged(const std::string& Entry) const {
    for (const std::string& Line : Log) {
      if (Line == Entry) {
        return true;
      }
    }
    return false;
  }

 protected:
  void CellChanged(int X, int Y) override { Add("cell", {X, Y}); }
  void InvalidateCells(int Left, int Top, int Right, int Bottom) override {
    Add("invalidate", {Left, Top, Right, Bottom});
  }
  void BufferScrolled(int Lines) override { Add("scroll", {Lines}); }
  void ScreenChanged() override { Log.push_back("screen"); }
  void ScreenSizeChanged() override { Add("size", {Columns(), Rows()}); }
  void CaretMoved() override { Add("caret", {CaretPos().X, CaretPos().Y}); }

 private:
  void Add(const std::string& What, std::initializer_list<int> Values) {
    std::string Line = What;
    for (const int Value : Values) {
      Line += " " + std::to_string(Value);
    }
    Log.push_back(Line);
  }
};

TEST(TermScreen, Defaults) {
  TRecordingScreen Screen;
  EXPECT_EQ(Screen.Columns(), 80);
  EXPECT_EQ(Screen.Rows(), 24);
  EXPECT_EQ(Screen.Buffer().Columns(), 80);
  EXPECT_EQ(Screen.Buffer().Rows(), 24);
  EXPECT_EQ(Screen.AltColor(), 0x00A6A6A6u);
  EXPECT_EQ(Screen.Caret(), std::make_pair(1, 1));
  EXPECT_EQ(Screen.TermAttr().FrontColor, White);
  EXPECT_EQ(Screen.TermAttr().BackColor, Black);
}

TEST(TermScreen, EightyFiveCharactersWithoutWrapOverwriteTheLastColumn) {
  TRecordingScreen Screen;
  std::string Text;
  for (int I = 0; I < 85; ++I) {
    Text += static_cast<char>('A' + I % 26);
  }
  Screen.Write(Text);
  EXPECT_EQ(Screen.Caret(), std::make_pair(80, 1));
  EXPECT_EQ(Screen.At(79, 1), Text[78]);
  EXPECT_EQ(Screen.At(80, 1), Text[84]);
  EXPECT_EQ(Screen.At(1, 2), 0);
}

TEST(TermScreen, WrapOnTheLastRowScrollsUp) {
  TRecordingScreen Screen;
  Screen.SetWrapLines(true);
  Screen.Write("top");
  Screen.PlaceCaret(1, 2);
  Screen.Write("second");
  Screen.PlaceCaret(80, 24);
  Screen.Log.clear();
  Screen.WriteChar('Z');
  EXPECT_EQ(Screen.Caret(), std::make_pair(1, 24));
  EXPECT_EQ(Screen.At(80, 23), 'Z');
  EXPECT_EQ(Screen.At(1, 1), 's');
  EXPECT_EQ(Screen.At(80, 24), 0);
  EXPECT_EQ(Screen.Log, (std::vector<std::string>{"cell 80 24", "scroll 1", "caret 1 24"}));
}

TEST(TermScreen, TabGoesToTheNextDefaultStop) {
  const int Cases[][2] = {{1, 9}, {8, 9}, {9, 17}, {72, 73}, {73, 73}, {79, 79}, {80, 80}};
  for (const auto& Case : Cases) {
    TRecordingScreen Screen;
    Screen.PlaceCaret(Case[0], 3);
    Screen.MoveCaret(cmTab);
    EXPECT_EQ(Screen.Caret(), std::make_pair(Case[1], 3)) << "from " << Case[0];
  }
}

TEST(TermScreen, ClearedTabsKeepTheCaretUntilFormFeed) {
  TRecordingScreen Screen;
  Screen.Write("abc");
  Screen.Buffer().ClearTabs();
  Screen.MoveCaret(cmTab);
  EXPECT_EQ(Screen.Caret(), std::make_pair(4, 1));
  Screen.MoveCaret(cmFormFeed);
  EXPECT_EQ(Screen.Caret(), std::make_pair(1, 1));
  EXPECT_EQ(Screen.At(1, 1), 0);
  Screen.MoveCaret(cmTab);
  EXPECT_EQ(Screen.Caret(), std::make_pair(9, 1));
  EXPECT_TRUE(Screen.Logged("screen"));
}

TEST(TermScreen, CaretMovements) {
  struct TCase {
    int X, Y;
    TCaretMove Move;
    bool Wrap;
    int ToX, ToY;
    bool Scrolls;
  };
  const std::vector<TCase> Cases = {
      {10, 5, cmBackspace, false, 9, 5, false},  {1, 5, cmBackspace, false, 1, 5, false},
      {10, 5, cmReturn, false, 1, 5, false},     {10, 5, cmLineFeed, false, 10, 6, false},
      {10, 24, cmLineFeed, false, 10, 24, true}, {10, 5, cmReverseLineFeed, false, 10, 4, false},
      {10, 1, cmReverseLineFeed, false, 10, 1, true}, {10, 5, cmAdvance, false, 11, 5, false},
      {80, 5, cmAdvance, false, 80, 5, false},   {80, 5, cmAdvance, true, 1, 6, false},
      {80, 24, cmAdvance, true, 1, 24, true},
  };
  for (const TCase& Case : Cases) {
    TRecordingScreen Screen;
    Screen.SetWrapLines(Case.Wrap);
    Screen.PlaceCaret(Case.X, Case.Y);
    Screen.Log.clear();
    Screen.MoveCaret(Case.Move);
    EXPECT_EQ(Screen.Caret(), std::make_pair(Case.ToX, Case.ToY)) << Case.Move << " from " << Case.X << "," << Case.Y;
    EXPECT_EQ(Screen.Logged("scroll 1") || Screen.Logged("scroll -1"), Case.Scrolls) << Case.Move;
  }
}

TEST(TermScreen, LineFeedOnTheLastRowAndReverseOnTheFirstMoveTheLines) {
  TRecordingScreen Screen;
  Screen.Write("a");
  Screen.PlaceCaret(1, 24);
  Screen.Write("b");
  Screen.MoveCaret(cmLineFeed);
  EXPECT_EQ(Screen.At(1, 23), 'b');
  EXPECT_EQ(Screen.At(1, 24), 0);
  EXPECT_EQ(Screen.At(1, 1), 0);
  Screen.PlaceCaret(5, 1);
  Screen.MoveCaret(cmReverseLineFeed);
  EXPECT_EQ(Screen.At(1, 24), 'b');
  EXPECT_EQ(Screen.Caret(), std::make_pair(5, 1));
  EXPECT_EQ(Screen.Log.back(), "scroll -1");
}

TEST(TermScreen, PlaceCaretClamps) {
  const int Cases[][4] = {{0, 0, 1, 1}, {81, 25, 80, 24}, {-5, 300, 1, 24}, {40, 12, 40, 12}};
  for (const auto& Case : Cases) {
    TRecordingScreen Screen;
    Screen.PlaceCaret(Case[0], Case[1]);
    EXPECT_EQ(Screen.Caret(), std::make_pair(Case[2], Case[3])) << Case[0] << "," << Case[1];
  }
}

TEST(TermScreen, ColumnsAndRowsAreClamped) {
  struct TCase {
    bool Columns;
    int Value;
    int Result;
  };
  const std::vector<TCase> Cases = {
      {true, 1, 2},   {true, 0, 2},    {true, -7, 2},   {true, 2, 2},    {true, 132, 132},
      {true, 256, 256}, {true, 300, 256}, {false, 500, 100}, {false, 1, 2}, {false, 100, 100},
  };
  for (const TCase& Case : Cases) {
    TRecordingScreen Screen;
    if (Case.Columns) {
      Screen.SetColumns(Case.Value);
      EXPECT_EQ(Screen.Columns(), Case.Result) << Case.Value;
      EXPECT_EQ(Screen.Buffer().Columns(), Case.Result);
    } else {
      Screen.SetRows(Case.Value);
      EXPECT_EQ(Screen.Rows(), Case.Result) << Case.Value;
      EXPECT_EQ(Screen.Buffer().Rows(), Case.Result);
    }
  }
}

TEST(TermScreen, SizeChangeReallocatesUnlessTheUnclampedValueIsEqual) {
  TRecordingScreen Screen;
  Screen.Write("x");
  Screen.SetColumns(80);
  EXPECT_EQ(Screen.At(1, 1), 'x') << "an equal value changes nothing";

  Screen.SetColumns(256);
  Screen.Write("y");
  Screen.Buffer().SetTab(5, true);
  Screen.Log.clear();
  Screen.SetColumns(256);
  EXPECT_EQ(Screen.At(2, 1), 'y');
  EXPECT_TRUE(Screen.Log.empty());

  Screen.SetColumns(300);  // clamps to the same 256, but 300 differs from 256
  EXPECT_EQ(Screen.Columns(), 256);
  EXPECT_EQ(Screen.At(2, 1), 0);
  EXPECT_FALSE(Screen.Buffer().GetTab(5));
  EXPECT_TRUE(Screen.Logged("size 256 24"));
  EXPECT_EQ(Screen.Log.back(), "screen");
}

TEST(TermScreen, ShrinkingClampsTheCaretAtOnce) {
  TRecordingScreen Screen;
  Screen.PlaceCaret(80, 24);
  Screen.SetColumns(40);
  EXPECT_EQ(Screen.Caret(), std::make_pair(40, 24));
  Screen.SetRows(10);
  EXPECT_EQ(Screen.Caret(), std::make_pair(40, 10));
  Screen.WriteChar('q');
  EXPECT_EQ(Screen.At(40, 10), 'q');

  Screen.PlaceCaret(3, 4);
  Screen.SetColumns(20);
  EXPECT_EQ(Screen.Caret(), std::make_pair(3, 4)) << "a caret inside the new size stays";
}

TEST(TermScreen, SetAttributes) {
  struct TCase {
    TEscapeParams Before;
    TEscapeParams Params;
    TColor Front, Back;
    bool Invert, Bold, Underline;
  };
  const std::vector<TCase> Cases = {
      {{"1", "4", "7", "32", "45"}, {}, White, Black, false, false, false},
      {{"1", "4", "7", "32", "45"}, {"0"}, White, Black, false, false, false},
      {{}, {"1"}, White, Black, false, true, false},
      {{}, {"4"}, White, Black, false, false, true},
      {{}, {"7"}, White, Black, true, false, false},
      {{"1", "4", "7"}, {"21", "24", "27"}, White, Black, false, false, false},
      {{}, {"30"}, 0x00000000, Black, false, false, false},
      {{}, {"31"}, 0x000000FF, Black, false, false, false},
      {{}, {"32"}, 0x00008000, Black, false, false, false},
      {{}, {"33"}, 0x0000FFFF, Black, false, false, false},
      {{}, {"34"}, 0x00FF0000, Black, false, false, false},
      {{}, {"35"}, 0x00800080, Black, false, false, false},
      {{}, {"36"}, 0x000080FF, Black, false, false, false},
      {{}, {"37"}, 0x00FFFFFF, Black, false, false, false},
      {{}, {"38"}, 0x00000080, Black, false, false, false},
      {{}, {"39"}, 0x00808080, Black, false, false, false},
      {{}, {"41"}, White, 0x000000FF, false, false, false},
      {{}, {"47"}, White, 0x00FFFFFF, false, false, false},
      {{}, {"48"}, White, 0x00000080, false, false, false},
      {{}, {"49"}, White, 0x00808080, false, false, false},
      {{}, {"12"}, White, Black, false, false, false},
      {{}, {"012"}, White, Black, false, false, false},
      {{}, {"-1"}, White, Black, false, false, false},
      {{}, {"x"}, White, Black, false, true, false},
      {{}, {"31", "0", "42"}, White, Green, false, false, false},
  };
  for (const TCase& Case : Cases) {
    TRecordingScreen Screen;
    Screen.SetAttributes(Case.Before);
    Screen.SetAttributes(Case.Params);
    const TTermAttr& Attr = Screen.TermAttr();
    const std::string Trace = Case.Params.empty() ? "(none)" : Case.Params[0];
    EXPECT_EQ(Attr.FrontColor, Case.Front) << Trace;
    EXPECT_EQ(Attr.BackColor, Case.Back) << Trace;
    EXPECT_EQ(Attr.Invert, Case.Invert) << Trace;
    EXPECT_EQ(Attr.Bold, Case.Bold) << Trace;
    EXPECT_EQ(Attr.Underline, Case.Underline) << Trace;
  }
}

TEST(TermScreen, WrittenCellsTakeTheirColoursFromTheAttributes) {
  const TColor Blue = 0x00FF0000;
  const TColor Yellow = 0x0000FFFF;
  struct TCase {
    TEscapeParams Params;
    TColor Front, Back;
    bool Underline;
  };
  const std::vector<TCase> Cases = {
      {{"1", "31"}, 0x00A6A6A6, Blue, false},  // bold takes AltColor
      {{"0", "7"}, Blue, Yellow, false},       // inverted: Color on the font colour
      {{"31", "42", "7"}, Green, Red, false},
      {{"1", "7", "31"}, 0x00A6A6A6, Red, false},
      {{"4"}, Yellow, Blue, true},
  };
  for (const TCase& Case : Cases) {
    TRecordingScreen Screen;
    Screen.SetColor(Blue);
    Screen.SetFontColor(Yellow);
    Screen.SetAttributes(Case.Params);
    Screen.WriteChar('w');
    const TTermChar Cell = Screen.Buffer().GetChar(1, 1);
    EXPECT_EQ(Cell.Ch, 'w');
    EXPECT_EQ(Cell.FrontColor, Case.Front) << Case.Params[0];
    EXPECT_EQ(Cell.BackColor, Case.Back) << Case.Params[0];
    EXPECT_EQ(Cell.Underline, Case.Underline) << Case.Params[0];
  }
}

TEST(TermScreen, ColourChangesOverrideTheCurrentAttributes) {
  TRecordingScreen Screen;
  Screen.SetAttributes({"31", "44"});
  Screen.SetFontColor(0x00010203);
  Screen.SetColor(0x00040506);
  EXPECT_EQ(Screen.TermAttr().FrontColor, 0x00010203u);
  EXPECT_EQ(Screen.TermAttr().BackColor, 0x00040506u);
}

TEST(TermScreen, SetMode) {
  struct TCase {
    TEscapeParams Params;
    bool Value;
    int Columns;
    bool Wrap, AppCursorKeys;
  };
  const std::vector<TCase> Cases = {
      {{"?3"}, true, 132, false, false},  {{"?3"}, false, 80, false, false},
      {{"?7"}, true, 80, true, false},    {{"7"}, true, 80, false, false},
      {{"?1"}, true, 80, false, true},    {{}, true, 80, false, false},
      {{"5", "?7"}, true, 80, false, false}, {{"?7", "5"}, true, 80, true, false},
      {{"?3;"}, true, 80, false, false},
  };
  for (const TCase& Case : Cases) {
    TRecordingScreen Screen;
    Screen.SetMode(Case.Params, Case.Value);
    const std::string Trace = Case.Params.empty() ? "(none)" : Case.Params[0];
    EXPECT_EQ(Screen.Columns(), Case.Columns) << Trace;
    EXPECT_EQ(Screen.WrapLines(), Case.Wrap) << Trace;
    EXPECT_EQ(Screen.AppCursorKeys(), Case.AppCursorKeys) << Trace;
  }
}

TEST(TermScreen, ColumnModeSwitchClearsTheBuffer) {
  TRecordingScreen Screen;
  Screen.Write("abc");
  Screen.SetMode({"?3"}, true);
  EXPECT_EQ(Screen.Columns(), 132);
  EXPECT_EQ(Screen.At(1, 1), 0);
  EXPECT_EQ(Screen.Caret(), std::make_pair(4, 1)) << "the caret is not moved";
  Screen.Write("d");
  Screen.SetMode({"?3"}, true);
  EXPECT_EQ(Screen.At(4, 1), 'd') << "already 132 columns";
  Screen.SetMode({"?3"}, false);
  EXPECT_EQ(Screen.Columns(), 80);
  EXPECT_EQ(Screen.At(4, 1), 0);
}

TEST(TermScreen, RestoreWithoutSaveGoesHomeWithZeroColours) {
  TRecordingScreen Screen;
  Screen.PlaceCaret(30, 10);
  Screen.SetAttributes({"1", "33"});
  Screen.RestoreCaret();
  Screen.RestoreAttr();
  EXPECT_EQ(Screen.Caret(), std::make_pair(1, 1));
  EXPECT_EQ(Screen.TermAttr().FrontColor, 0u);
  EXPECT_EQ(Screen.TermAttr().BackColor, 0u);
}

TEST(TermScreen, SaveAndRestoreCaretAndAttributesSeparately) {
  TRecordingScreen Screen;
  Screen.PlaceCaret(7, 8);
  Screen.SetAttributes({"4", "35"});
  Screen.SaveCaret();
  Screen.SaveAttr();
  Screen.PlaceCaret(1, 1);
  Screen.SetAttributes({"0"});
  Screen.RestoreCaret();
  EXPECT_EQ(Screen.Caret(), std::make_pair(7, 8));
  EXPECT_FALSE(Screen.TermAttr().Underline) << "restoring the caret leaves the attributes";
  Screen.RestoreAttr();
  EXPECT_TRUE(Screen.TermAttr().Underline);
  EXPECT_EQ(Screen.TermAttr().FrontColor, 0x00800080u);

  Screen.SetRows(5);
  Screen.RestoreCaret();
  EXPECT_EQ(Screen.Caret(), std::make_pair(7, 5)) << "a saved cell beyond the size is clamped";
}

TEST(TermScreen, FillScreenIgnoresTheAttributes) {
  TRecordingScreen Screen;
  Screen.SetAttributes({"1", "4", "7", "31"});
  Screen.Log.clear();
  Screen.FillScreen('E');
  for (const auto& Point : {std::make_pair(1, 1), std::make_pair(80, 24), std::make_pair(40, 12)}) {
    const TTermChar Cell = Screen.Buffer().GetChar(Point.first, Point.second);
    EXPECT_EQ(Cell.Ch, 'E');
    EXPECT_EQ(Cell.FrontColor, White);
    EXPECT_EQ(Cell.BackColor, Black);
    EXPECT_FALSE(Cell.Underline);
  }
  EXPECT_EQ(Screen.Log, std::vector<std::string>{"screen"});
}

TEST(TermScreen, ErasingInvalidatesTheClearedCells) {
  TRecordingScreen Screen;
  for (int Y = 1; Y <= 24; ++Y) {
    Screen.PlaceCaret(1, Y);
    Screen.Write("0123456789");
  }
  Screen.Log.clear();
  Screen.EraseLineFrom(5, 3);
  EXPECT_EQ(Screen.At(4, 3), '3');
  EXPECT_EQ(Screen.At(5, 3), 0);
  EXPECT_EQ(Screen.At(5, 4), '4');
  EXPECT_EQ(Screen.Log, std::vector<std::string>{"invalidate 5 3 80 3"});

  Screen.Log.clear();
  Screen.EraseScreenFrom(5, 4);
  EXPECT_EQ(Screen.At(4, 4), '3');
  EXPECT_EQ(Screen.At(5, 4), 0);
  EXPECT_EQ(Screen.At(1, 5), 0);
  EXPECT_EQ(Screen.At(10, 24), 0);
  EXPECT_EQ(Screen.Log, (std::vector<std::string>{"invalidate 5 4 80 4", "invalidate 1 5 80 24"}));

  Screen.Log.clear();
  Screen.EraseScreenFrom(1, 24);
  EXPECT_EQ(Screen.Log, std::vector<std::string>{"invalidate 1 24 80 24"});
}

}  // namespace
