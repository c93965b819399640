#include "terminal/TermScreen.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TTermChar Cell(char Ch) {
  TTermChar Result;
  Result.Ch = Ch;
  Result.FrontColor = 0x00FFFFFF;
  return Result;
}

std::vector<int> TabStops(const TComTermBuffer& Buffer) {
  std::vector<int> Stops;
  for (int X = 1; X <= Buffer.Columns(); ++X) {
    if (Buffer.GetTab(X)) {
      Stops.push_back(X);
    }
  }
  return Stops;
}

// Rows as text, '.' for an empty cell.
std::vector<std::string> Text(const TComTermBuffer& Buffer) {
  std::vector<std::string> Lines;
  for (int Y = 1; Y <= Buffer.Rows(); ++Y) {
    std::string Line;
    for (int X = 1; X <= Buffer.Columns(); ++X) {
      const char Ch = Buffer.GetChar(X, Y).Ch;
      Line += Ch == 0 ? '.' : Ch;
    }
    Lines.push_back(Line);
  }
  return Lines;
}

TComTermBuffer Filled3x3() {
  TComTermBuffer Buffer;
  Buffer.Allocate(3, 3);
  const char* Rows[] = {"abc", "def", "ghi"};
  for (int Y = 1; Y <= 3; ++Y) {
    for (int X = 1; X <= 3; ++X) {
      Buffer.SetChar(X, Y, Cell(Rows[Y - 1][X - 1]));
    }
  }
  return Buffer;
}

TEST(TermBuffer, AllocateSetsDefaultTabStops) {
  struct TCase {
    int Columns;
    std::vector<int> Stops;
  };
  const std::vector<TCase> Cases = {
      {2, {1}}, {8, {1}}, {9, {1, 9}}, {17, {1, 9, 17}}, {80, {1, 9, 17, 25, 33, 41, 49, 57, 65, 73}},
  };
  for (const TCase& Case : Cases) {
    TComTermBuffer Buffer;
    Buffer.Allocate(Case.Columns, 2);
    EXPECT_EQ(TabStops(Buffer), Case.Stops) << Case.Columns;
  }
}

TEST(TermBuffer, OutOfRangeCellsReadEmptyAndIgnoreWrites) {
  TComTermBuffer Buffer = Filled3x3();
  const int Points[][2] = {{0, 1}, {1, 0}, {4, 1}, {1, 4}, {-1, -1}, {4, 0}};
  for (const auto& Point : Points) {
    EXPECT_EQ(Buffer.GetChar(Point[0], Point[1]).Ch, 0) << Point[0] << "," << Point[1];
    Buffer.SetChar(Point[0], Point[1], Cell('!'));
  }
  EXPECT_EQ(Text(Buffer), (std::vector<std::string>{"abc", "def", "ghi"}));
}

TEST(TermBuffer, Erase) {
  struct TCase {
    bool Screen;
    int X;
    int Y;
    std::vector<std::string> Result;
  };
  const std::vector<TCase> Cases = {
      {false, 2, 2, {"abc", "d..", "ghi"}},
      {false, 1, 1, {"...", "def", "ghi"}},
      {false, 3, 3, {"abc", "def", "gh."}},
      {false, 0, 2, {"abc", "...", "ghi"}},
      {false, 4, 2, {"abc", "def", "ghi"}},
      {false, 1, 4, {"abc", "def", "ghi"}},
      {true, 2, 2, {"abc", "d..", "..."}},
      {true, 1, 1, {"...", "...", "..."}},
      {true, 3, 3, {"abc", "def", "gh."}},
      {true, 4, 1, {"abc", "...", "..."}},
      {true, 1, 4, {"abc", "def", "ghi"}},
      {true, 1, 0, {"abc", "def", "ghi"}},
  };
  for (const TCase& Case : Cases) {
    TComTermBuffer Buffer = Filled3x3();
    if (Case.Screen) {
      Buffer.EraseScreenFrom(Case.X, Case.Y);
    } else {
      Buffer.EraseLineFrom(Case.X, Case.Y);
    }
    EXPECT_EQ(Text(Buffer), Case.Result) << (Case.Screen ? "screen " : "line ") << Case.X << "," << Case.Y;
  }
}

TEST(TermBuffer, TabOperations) {
  TComTermBuffer Buffer;
  Buffer.Allocate(20, 2);
  EXPECT_EQ(Buffer.NextTab(0), 1);
  EXPECT_EQ(Buffer.NextTab(2), 9);
  EXPECT_EQ(Buffer.NextTab(9), 9);
  EXPECT_EQ(Buffer.NextTab(18), 0);
  EXPECT_EQ(Buffer.NextTab(21), 0);
  Buffer.SetTab(20, true);
  EXPECT_EQ(Buffer.NextTab(18), 20);
  Buffer.SetTab(9, false);
  EXPECT_EQ(Buffer.NextTab(2), 17);
  Buffer.SetTab(21, true);
  Buffer.SetTab(0, true);
  EXPECT_EQ(TabStops(Buffer), (std::vector<int>{1, 17, 20}));
  Buffer.ClearTabs();
  EXPECT_EQ(Buffer.NextTab(1), 0);
}

}  // namespace
