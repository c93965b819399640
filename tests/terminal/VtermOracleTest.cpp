// libvterm, a VT100/xterm emulator nobody here wrote, as a reference: both get the same bytes, and
// the text grid, the caret and the colours must agree wherever our subset and the classic VT100
// agree. The cases where ours deliberately differs are listed below, each checked on both sides,
// so the list stays true.
#include "terminal/TermSession.h"

#include <gtest/gtest.h>

#include <vterm.h>

#include <functional>
#include <sstream>
#include <ostream>
#include <string>

namespace {

using namespace std::string_literals;

const std::string ESC = "\x1b";
constexpr int Rows = 24;
constexpr int Columns = 80;

// Our colour numbers 0..7 as TColor; the default font colour is 7, the default window colour 0.
const TColor Palette[8] = {0x00000000, 0x000000FF, 0x00008000, 0x0000FFFF,
                           0x00FF0000, 0x00800080, 0x000080FF, 0x00FFFFFF};

int ColourNumber(TColor Colour) {
  for (int Index = 0; Index < 8; ++Index) {
    if (Palette[Index] == Colour) return Index;
  }
  return -1;
}

// One cell as both sides can describe it: the character (blank for empty), the colour numbers
// as shown (after inversion) and the underline.
struct TCell {
  char Ch = ' ';
  int Front = 7;
  int Back = 0;
  bool Underline = false;
  bool operator==(const TCell& Other) const {
    return Ch == Other.Ch && Front == Other.Front && Back == Other.Back && Underline == Other.Underline;
  }
};

class TOurs {
 public:
  explicit TOurs(const std::string& Bytes) {
    FSession.ProcessBytes(Bytes.data(), static_cast<int32_t>(Bytes.size()));
  }
  TCell Cell(int X, int Y) const {
    const TTermChar Stored = FSession.Buffer().GetChar(X, Y);
    TCell Cell;
    Cell.Ch = Stored.Ch == 0 ? ' ' : Stored.Ch;
    if (Stored.Ch != 0) {
      Cell.Front = ColourNumber(Stored.FrontColor);
      Cell.Back = ColourNumber(Stored.BackColor);
      Cell.Underline = Stored.Underline;
    }
    return Cell;
  }
  TTermPoint Caret() const { return FSession.CaretPos(); }
  const TTermSession& Session() const { return FSession; }

 private:
  TTermSession FSession;
};

class TReference {
 public:
  explicit TReference(const std::string& Bytes) : FVt(vterm_new(Rows, Columns)) {
    vterm_set_utf8(FVt, 0);
    FScreen = vterm_obtain_screen(FVt);
    vterm_screen_reset(FScreen, 1);
    vterm_input_write(FVt, Bytes.data(), Bytes.size());
  }
  ~TReference() { vterm_free(FVt); }
  TReference(const TReference&) = delete;
  TReference& operator=(const TReference&) = delete;

  TCell Cell(int X, int Y) const {
    VTermScreenCell Raw;
    vterm_screen_get_cell(FScreen, VTermPos{Y - 1, X - 1}, &Raw);
    TCell Cell;
    const bool Written = Raw.chars[0] != 0;
    Cell.Ch = Written ? static_cast<char>(Raw.chars[0]) : ' ';
    if (Written) {
      const int Front = Number(Raw.fg, 7);
      const int Back = Number(Raw.bg, 0);
      Cell.Front = Raw.attrs.reverse ? Back : Front;
      Cell.Back = Raw.attrs.reverse ? Front : Back;
      Cell.Underline = Raw.attrs.underline != 0;
    }
    return Cell;
  }
  // The background an erased (empty) cell would show.
  int BlankBack(int X, int Y) const {
    VTermScreenCell Raw;
    vterm_screen_get_cell(FScreen, VTermPos{Y - 1, X - 1}, &Raw);
    return Number(Raw.bg, 0);
  }
  TTermPoint Caret() const {
    VTermPos Pos;
    vterm_state_get_cursorpos(vterm_obtain_state(FVt), &Pos);
    return TTermPoint{Pos.col + 1, Pos.row + 1};
  }

 private:
  static int Number(const VTermColor& Colour, int Default) {
    if (VTERM_COLOR_IS_DEFAULT_FG(&Colour) || VTERM_COLOR_IS_DEFAULT_BG(&Colour)) return Default;
    return VTERM_COLOR_IS_INDEXED(&Colour) ? Colour.indexed.idx : -1;
  }

  VTerm* FVt;
  VTermScreen* FScreen;
};

template <typename TSide>
std::string Grid(const TSide& Side) {
  std::string Text;
  for (int Y = 1; Y <= Rows; ++Y) {
    std::string Line;
    for (int X = 1; X <= Columns; ++X) Line += Side.Cell(X, Y).Ch;
    Line.erase(Line.find_last_not_of(' ') + 1);
    Text += std::to_string(Y) + "|" + Line + "\n";
  }
  return Text;
}

// ---------------------------------------------------------------------------
// Where both agree

struct TScenario {
  const char* Name;
  std::string Bytes;
};

// Test names in ctest show the case, not its bytes.
void PrintTo(const TScenario& Case, std::ostream* Out) { *Out << Case.Name; }

class AgreesWithLibvterm : public ::testing::TestWithParam<TScenario> {};

TEST_P(AgreesWithLibvterm, GridCaretAndColours) {
  const TOurs Ours(GetParam().Bytes);
  const TReference Reference(GetParam().Bytes);
  ASSERT_EQ(Grid(Ours), Grid(Reference));
  EXPECT_EQ(Ours.Caret().X, Reference.Caret().X);
  EXPECT_EQ(Ours.Caret().Y, Reference.Caret().Y);
  for (int Y = 1; Y <= Rows; ++Y) {
    for (int X = 1; X <= Columns; ++X) {
      const TCell Mine = Ours.Cell(X, Y);
      const TCell Theirs = Reference.Cell(X, Y);
      EXPECT_TRUE(Mine == Theirs) << "cell (" << X << "," << Y << ") '" << Mine.Ch << "': colours " << Mine.Front
                                  << "/" << Mine.Back << " underline " << Mine.Underline << ", reference "
                                  << Theirs.Front << "/" << Theirs.Back << " underline " << Theirs.Underline;
    }
  }
}

std::string Lines(int Count) {
  std::string Text;
  for (int Line = 1; Line <= Count; ++Line) Text += "line " + std::to_string(Line) + "\r\n";
  return Text;
}

const std::string Eighty = [] {
  std::string Text;
  for (int Index = 0; Index < 85; ++Index) Text += static_cast<char>('A' + Index % 26);
  return Text;
}();

INSTANTIATE_TEST_SUITE_P(
    Terminal, AgreesWithLibvterm,
    ::testing::Values(
        TScenario{"TextReturnAndLineFeed", "Hello\r\nWorld\r\n  indented\n\rnext"},
        TScenario{"BackspaceOverwritesAndStopsAtColumnOne", "abc\b\bX\r\b\bY"},
        TScenario{"NulAndBellShowNothing", "a\x00" "b\x07" "c"s},
        TScenario{"LineFeedOnTheLastRowScrolls", Lines(30) + "end"},
        TScenario{"CursorPositionAbsolute", ESC + "[5;10HX" + ESC + "[1;1HY" + ESC + "[12;40fZ" + ESC + "[H*"},
        TScenario{"CursorPositionClampedToTheScreen", ESC + "[50;100HA" + ESC + "[0;0HB"},
        TScenario{"CursorRelative", ESC + "[10;10H" + ESC + "[3A1" + ESC + "[2B2" + ESC + "[5C3" + ESC + "[4D4" +
                                        ESC + "[A5" + ESC + "[B6"},
        TScenario{"CursorRelativeClamped", ESC + "[10;10H" + ESC + "[99A1" + ESC + "[99D2" + ESC + "[99B3" + ESC +
                                               "[199C4"},
        TScenario{"EraseLineFromTheCaret", "abcdef\r\nghijkl" + ESC + "[1;3H" + ESC + "[K" + ESC + "[2;4H" + ESC +
                                               "[0K"},
        TScenario{"EraseScreenFromTheCaret", Lines(5) + ESC + "[2;3H" + ESC + "[J"},
        TScenario{"EraseWholeLineThenReturn", Lines(3) + ESC + "[2;4H" + ESC + "[2K\rX"},
        TScenario{"EraseWholeScreenThenHome", Lines(3) + ESC + "[2J" + ESC + "[Hx"},
        TScenario{"DefaultTabStops", "a\tb\tc\r\n\t\t\t\t\t\t\t\t1"},
        TScenario{"SetAndClearTabStops", ESC + "[1;5H" + ESC + "H" + ESC + "[1;9H" + ESC + "[g\r\tA\tB\tC"},
        TScenario{"ClearAllTabsThenSetOne", ESC + "[3g" + ESC + "[1;30H" + ESC + "H\r\tT"},
        TScenario{"SaveAndRestoreCaret", ESC + "[5;5H" + ESC + "7" + ESC + "[10;10HA" + ESC + "8B"},
        TScenario{"SaveAndRestoreAttributes", ESC + "[32;4m" + ESC + "7" + ESC + "[34;24m" + ESC + "[3;3HA" + ESC +
                                                  "8B"},
        TScenario{"ForegroundAndBackgroundColours",
                  ESC + "[31mR" + ESC + "[32mG" + ESC + "[33mY" + ESC + "[34mB" + ESC + "[35mM" + ESC + "[36mC" + ESC +
                      "[37mW" + ESC + "[30;47mK" + ESC + "[41m1" + ESC + "[42m2" + ESC + "[43m3" + ESC + "[44m4" +
                      ESC + "[45m5" + ESC + "[46m6" + ESC + "[40m0"},
        TScenario{"InverseUnderlineAndReset", ESC + "[7mI" + ESC + "[4mU" + ESC + "[27mu" + ESC + "[24mn" + ESC +
                                                  "[31;44;7mX" + ESC + "[0mN" + ESC + "[4;31mQ" + ESC + "[mD"},
        TScenario{"UnknownAttributeNumbersAreIgnored", ESC + "[32m" + ESC + "[12mA" + ESC + "[3;5mB"},
        TScenario{"NoAutowrapOverwritesTheLastColumn", ESC + "[?7l" + Eighty},
        TScenario{"AutowrapContinuesOnTheNextLine", ESC + "[?7h" + Eighty + "\r\n" + ESC + "[24;1H" + Eighty},
        TScenario{"AlignmentPatternLeavesTheCaret", ESC + "[3;7H" + ESC + "#8"},
        TScenario{"QueriesChangeNothingOnScreen", "q" + ESC + "[6n" + ESC + "[c" + ESC + "[5n" + "r"}),
    [](const ::testing::TestParamInfo<TScenario>& Info) { return std::string(Info.param.Name); });

// ---------------------------------------------------------------------------
// Where ours deliberately differs from a VT100 (libvterm)

struct TDifference {
  const char* Name;
  std::string Bytes;
  // Asserts what ours does and what the reference does instead.
  std::function<void(const TOurs&, const TReference&)> Check;
};

void PrintTo(const TDifference& Case, std::ostream* Out) { *Out << Case.Name; }

class DiffersFromLibvterm : public ::testing::TestWithParam<TDifference> {};

TEST_P(DiffersFromLibvterm, AsListed) {
  const TOurs Ours(GetParam().Bytes);
  const TReference Reference(GetParam().Bytes);
  GetParam().Check(Ours, Reference);
}

void CaretsAre(const TOurs& Ours, TTermPoint Mine, const TReference& Reference, TTermPoint Theirs) {
  EXPECT_EQ(Ours.Caret().X, Mine.X);
  EXPECT_EQ(Ours.Caret().Y, Mine.Y);
  EXPECT_EQ(Reference.Caret().X, Theirs.X);
  EXPECT_EQ(Reference.Caret().Y, Theirs.Y);
}

INSTANTIATE_TEST_SUITE_P(
    Terminal, DiffersFromLibvterm,
    ::testing::Values(
        // Ours moves to the next line as soon as the last column is written; a VT100 waits for the
        // next character (pending wrap).
        TDifference{"NoPendingWrap", ESC + "[?7h" + std::string(80, 'w'),
                    [](const TOurs& Ours, const TReference& Reference) {
                      CaretsAre(Ours, {1, 2}, Reference, {80, 1});
                    }},
        // Lines do not wrap until ESC [?7h; a VT100 starts with autowrap on.
        TDifference{"WrapOffByDefault", Eighty,
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Cell(80, 1).Ch, Eighty[84]);
                      EXPECT_EQ(Ours.Cell(1, 2).Ch, ' ');
                      EXPECT_EQ(Reference.Cell(80, 1).Ch, Eighty[79]);
                      EXPECT_EQ(Reference.Cell(5, 2).Ch, Eighty[84]);
                    }},
        // Erased cells are empty and show the window colour; ANSI erases with the current background.
        TDifference{"EraseWithoutColours", ESC + "[44m" + ESC + "[2J",
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Session().Buffer().GetChar(10, 10).BackColor, 0u);
                      EXPECT_EQ(Reference.BlankBack(10, 10), 4);
                    }},
        // Erasing a whole line or the whole screen also moves the caret to its start.
        TDifference{"WholeEraseMovesTheCaret", ESC + "[5;9H" + ESC + "[2K" + ESC + "[2J",
                    [](const TOurs& Ours, const TReference& Reference) {
                      CaretsAre(Ours, {1, 1}, Reference, {9, 5});
                    }},
        // Erasing up to the caret (parameter 1) is no code of ours.
        TDifference{"NoEraseToTheCaret", "abcdef" + ESC + "[1;4H" + ESC + "[1K" + ESC + "[1J",
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Cell(1, 1).Ch, 'a');
                      EXPECT_EQ(Reference.Cell(1, 1).Ch, ' ');
                    }},
        // A count of 0 moves by 0; a VT100 takes it as 1.
        TDifference{"CountZeroMovesNothing", ESC + "[5;5H" + ESC + "[0A" + ESC + "[0C",
                    [](const TOurs& Ours, const TReference& Reference) {
                      CaretsAre(Ours, {5, 5}, Reference, {6, 4});
                    }},
        // With no tab stop to the right the caret stays; a VT100 goes to the last column.
        TDifference{"TabWithoutAFurtherStopStays", ESC + "[1;75H\t",
                    [](const TOurs& Ours, const TReference& Reference) {
                      CaretsAre(Ours, {75, 1}, Reference, {80, 1});
                    }},
        // Form feed clears the screen and goes home; vertical tab is ignored. A VT100 takes both as
        // line feeds.
        TDifference{"FormFeedClearsAndVerticalTabIsIgnored", "ab\x0b" "c\x0c" "d",
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Cell(1, 1).Ch, 'd');
                      CaretsAre(Ours, {2, 1}, Reference, {5, 3});
                    }},
        // Bytes $80-$9F are characters like any other; a VT100 in 8-bit mode acts on them as
        // C1 controls ($84 is index, a line feed).
        TDifference{"HighBytesArePrinted", "a\x84" "b",
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Cell(2, 1).Ch, '\x84');
                      EXPECT_EQ(Reference.Cell(2, 2).Ch, 'b');
                    }},
        // Bold shows in AltColor; SGR 39/49 pick fixed greys, 38/48 a fixed dark red, where ANSI
        // means the default colours and extended colours.
        TDifference{"BoldAndDefaultColourNumbers", ESC + "[1mB" + ESC + "[0;31m" + ESC + "[39mD",
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Session().Buffer().GetChar(1, 1).FrontColor, Ours.Session().AltColor());
                      EXPECT_EQ(Ours.Session().Buffer().GetChar(2, 1).FrontColor, 0x00808080u);
                      EXPECT_EQ(Reference.Cell(1, 1).Front, 7);
                      EXPECT_EQ(Reference.Cell(2, 1).Front, 7);
                    }},
        // ESC c resets only the attributes; a VT100 resets everything and clears the screen.
        TDifference{"ResetKeepsTheScreen", "keep" + ESC + "c",
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Cell(1, 1).Ch, 'k');
                      EXPECT_EQ(Reference.Cell(1, 1).Ch, ' ');
                      CaretsAre(Ours, {5, 1}, Reference, {1, 1});
                    }},
        // ESC [s and ESC [u save and restore the caret (ANSI.SYS); libvterm has no such codes.
        TDifference{"AnsiSaveAndRestore", ESC + "[2;2H" + ESC + "[s" + ESC + "[5;5H" + ESC + "[uX",
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Cell(2, 2).Ch, 'X');
                      EXPECT_EQ(Reference.Cell(2, 2).Ch, ' ');
                    }},
        // Index, next line, reverse index and scroll regions are not in our subset.
        TDifference{"NoIndexReverseIndexOrScrollRegion",
                    ESC + "[3;3H" + ESC + "D1" + ESC + "E2" + ESC + "M3" + ESC + "[5;10r4",
                    [](const TOurs& Ours, const TReference& Reference) {
                      EXPECT_EQ(Ours.Cell(3, 3).Ch, '1');
                      EXPECT_NE(Grid(Ours), Grid(Reference));
                    }}),
    [](const ::testing::TestParamInfo<TDifference>& Info) { return std::string(Info.param.Name); });

}  // namespace
