// The label font drawn on the display picture, checked against pictures of
// the segments drawn by hand, and the labels built from it.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "DisplayArt.h"
#include "core/DisplayPicture.h"
#include "core/LabelFont.h"

namespace {

// One character as five rows of seven: the top, middle and bottom bars in two
// halves ("--"), the sides ("|"), the middle verticals ("|") and the diagonals.
//    " -- -- "   top bar, left and right half
//    "|\ | /|"   left upper, upper-left diagonal, upper vertical, upper-right diagonal, right upper
//    " -- -- "   middle bar
//    "|/ | \|"   left lower, lower-left diagonal, lower vertical, lower-right diagonal, right lower
//    " -- -- "   bottom bar
struct Cell {
  int Row, Col;
};
// By segment number within a character (0 to 15), as the seed table orders them.
const Cell kCells[16] = {{0, 1}, {0, 4}, {1, 6}, {3, 6}, {4, 4}, {4, 1}, {3, 0}, {1, 0},
                         {1, 1}, {1, 3}, {1, 5}, {2, 4}, {2, 1}, {3, 1}, {3, 3}, {3, 5}};
const char kMarks[16] = {'-', '-', '|', '|', '-', '-', '|', '|', '\\', '|', '/', '-', '-', '/', '|', '\\'};

struct Drawing {
  char32_t Code;
  const char* Rows[5];
};

#define BLANK "       "
const Drawing kDrawings[] = {
    {U'0', {" -- -- ", "|     |", BLANK, "|     |", " -- -- "}},
    {U'1', {BLANK, "      |", BLANK, "      |", BLANK}},
    {U'2', {" -- -- ", "      |", " -- -- ", "|      ", " -- -- "}},
    {U'3', {" -- -- ", "      |", " -- -- ", "      |", " -- -- "}},
    {U'4', {BLANK, "|     |", " -- -- ", "      |", BLANK}},
    {U'5', {" -- -- ", "|      ", " -- -- ", "      |", " -- -- "}},
    {U'6', {" -- -- ", "|      ", " -- -- ", "|     |", " -- -- "}},
    {U'7', {" -- -- ", "      |", BLANK, "      |", BLANK}},
    {U'8', {" -- -- ", "|     |", " -- -- ", "|     |", " -- -- "}},
    {U'9', {" -- -- ", "|     |", " -- -- ", "      |", " -- -- "}},
    {U'A', {" -- -- ", "|     |", " -- -- ", "|     |", BLANK}},
    {U'B', {" -- -- ", "   |  |", "    -- ", "   |  |", " -- -- "}},
    {U'C', {" -- -- ", "|      ", BLANK, "|      ", " -- -- "}},
    {U'D', {" -- -- ", "   |  |", BLANK, "   |  |", " -- -- "}},
    {U'E', {" -- -- ", "|      ", " --    ", "|      ", " -- -- "}},
    {U'F', {" -- -- ", "|      ", " --    ", "|      ", BLANK}},
    {U'G', {" -- -- ", "|      ", "    -- ", "|     |", " -- -- "}},
    {U'H', {BLANK, "|     |", " -- -- ", "|     |", BLANK}},
    {U'I', {" -- -- ", "   |   ", BLANK, "   |   ", " -- -- "}},
    {U'J', {BLANK, "      |", BLANK, "|     |", " -- -- "}},
    {U'K', {BLANK, "|    / ", " --    ", "|    \\ ", BLANK}},
    {U'L', {BLANK, "|      ", BLANK, "|      ", " -- -- "}},
    {U'M', {BLANK, "|\\   /|", BLANK, "|     |", BLANK}},
    {U'N', {BLANK, "|\\    |", BLANK, "|    \\|", BLANK}},
    {U'O', {" -- -- ", "|     |", BLANK, "|     |", " -- -- "}},
    {U'P', {" -- -- ", "|     |", " -- -- ", "|      ", BLANK}},
    {U'Q', {" -- -- ", "|     |", BLANK, "|    \\|", " -- -- "}},
    {U'R', {" -- -- ", "|     |", " -- -- ", "|    \\ ", BLANK}},
    {U'S', {" -- -- ", "|      ", " -- -- ", "      |", " -- -- "}},
    {U'T', {" -- -- ", "   |   ", BLANK, "   |   ", BLANK}},
    {U'U', {BLANK, "|     |", BLANK, "|     |", " -- -- "}},
    {U'V', {BLANK, "|    / ", BLANK, "|/     ", BLANK}},
    {U'W', {BLANK, "|     |", BLANK, "|/   \\|", BLANK}},
    {U'X', {BLANK, " \\   / ", BLANK, " /   \\ ", BLANK}},
    {U'Y', {BLANK, " \\   / ", BLANK, "   |   ", BLANK}},
    {U'Z', {" -- -- ", "     / ", BLANK, " /     ", " -- -- "}},
    // The marks do not fit: the base letters.
    {U'Ç', {" -- -- ", "|      ", BLANK, "|      ", " -- -- "}},
    {U'Ğ', {" -- -- ", "|      ", "    -- ", "|     |", " -- -- "}},
    {U'İ', {" -- -- ", "   |   ", BLANK, "   |   ", " -- -- "}},
    {U'Ö', {" -- -- ", "|     |", BLANK, "|     |", " -- -- "}},
    {U'Ş', {" -- -- ", "|      ", " -- -- ", "      |", " -- -- "}},
    {U'Ü', {BLANK, "|     |", BLANK, "|     |", " -- -- "}},
    {U'-', {BLANK, BLANK, " -- -- ", BLANK, BLANK}},
    {U'+', {BLANK, "   |   ", " -- -- ", "   |   ", BLANK}},
    {U'/', {BLANK, "     / ", BLANK, " /     ", BLANK}},
    {U'\\', {BLANK, " \\     ", BLANK, "     \\ ", BLANK}},
    {U'*', {BLANK, " \\ | / ", " -- -- ", " / | \\ ", BLANK}},
    {U'_', {BLANK, BLANK, BLANK, BLANK, " -- -- "}},
    {U'=', {BLANK, BLANK, " -- -- ", BLANK, " -- -- "}},
    {U'(', {"    -- ", "   |   ", BLANK, "   |   ", "    -- "}},
    {U')', {" --    ", "   |   ", BLANK, "   |   ", " --    "}},
    {U'<', {BLANK, "     / ", BLANK, "     \\ ", BLANK}},
    {U'>', {BLANK, " \\     ", BLANK, " /     ", BLANK}},
    {U'\'', {BLANK, "   |   ", BLANK, BLANK, BLANK}},
    {U'"', {BLANK, "|  |   ", BLANK, BLANK, BLANK}},
    {U' ', {BLANK, BLANK, BLANK, BLANK, BLANK}},
};
#undef BLANK

std::string Joined(const char* const rows[5]) {
  std::string s;
  for (int r = 0; r < 5; ++r) s += std::string(rows[r]) + "\n";
  return s;
}

// The display picture as shipped, in the scan-line form the window paints.
class Picture {
 public:
  Picture() : Canvas_(art::DrawDisplay()), Bytes_(3 * Canvas_.Width() * Canvas_.Height()) {
    for (int y = 0; y < Canvas_.Height(); ++y)
      for (int x = 0; x < Canvas_.Width(); ++x) {
        const art::Rgb c = Canvas_.At(x, y);
        uint8_t* p = &Bytes_[3 * (y * Canvas_.Width() + x)];
        p[0] = c.r, p[1] = c.g, p[2] = c.b;
      }
  }
  varo::RgbView View() { return {Bytes_.data(), Canvas_.Width(), Canvas_.Height(), 3 * Canvas_.Width()}; }
  // The picture's character (0 left, 1 right) drawn as rows, from the colours at the seeds.
  std::string Character(int side) {
    std::string rows[5] = {"       ", "       ", "       ", "       ", "       "};
    for (int s = 0; s < 16; ++s) {
      const varo::Point seed = varo::SeedOf(16 * side + s);
      if (View().At(seed.X, seed.Y) != varo::White) continue;
      rows[kCells[s].Row][kCells[s].Col] = kMarks[s];
      if (kMarks[s] == '-') rows[kCells[s].Row][kCells[s].Col + 1] = '-';
    }
    std::string joined;
    for (const std::string& r : rows) joined += r + "\n";
    return joined;
  }

 private:
  art::Canvas Canvas_;
  std::vector<uint8_t> Bytes_;
};

std::string Utf8(char32_t c) {
  std::string s;
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  s += static_cast<char>(0xC0 | (c >> 6));
  s += static_cast<char>(0x80 | (c & 0x3F));
  return s;
}

}  // namespace

TEST(LabelFont, EveryGlyphDrawsItsPictureOnBothCharacters) {
  Picture picture;
  std::set<char32_t> drawn;
  for (const Drawing& d : kDrawings) {
    SCOPED_TRACE(Utf8(d.Code));
    const std::optional<varo::LabelGlyph> g = varo::GlyphOf(d.Code);
    ASSERT_TRUE(g);
    varo::PaintFrame(picture.View(), varo::SegmentPattern{{g->Outer, g->Inner, g->Outer, g->Inner}});
    EXPECT_EQ(picture.Character(0), Joined(d.Rows));
    EXPECT_EQ(picture.Character(1), Joined(d.Rows));
    drawn.insert(d.Code);
  }
  // Nothing in the font escapes the pictures, and no character is in it twice.
  EXPECT_EQ(drawn.size(), varo::LabelFont.size());
  std::set<char32_t> codes;
  for (const varo::LabelGlyph& g : varo::LabelFont) EXPECT_TRUE(codes.insert(g.Code).second) << Utf8(g.Code);
}

TEST(LabelFont, DigitsAreTheBuiltInOnesAndLabelsAreRightAligned) {
  for (int f = 0; f <= 60; ++f) {
    const std::string text = std::to_string(f);
    EXPECT_EQ(varo::LabelPattern(std::u32string(text.begin(), text.end())), varo::FloorPattern(f)) << f;
  }
  for (int f = -8; f <= -1; ++f)
    EXPECT_EQ(varo::LabelPattern({U'-', static_cast<char32_t>(U'0' - f)}), varo::FloorPattern(f)) << f;
  EXPECT_EQ(varo::LabelPattern(U"B2").Bytes, (std::array<uint8_t, 4>{0xFC, 0x52, 0xEE, 0x18}));
  EXPECT_EQ(varo::LabelPattern(U"Z").Bytes, (std::array<uint8_t, 4>{0x00, 0x00, 0xCC, 0x24}));
  EXPECT_EQ(varo::LabelPattern(U"P ").Bytes, (std::array<uint8_t, 4>{0xE3, 0x18, 0x00, 0x00}));
}

TEST(LabelFont, BadLabelsAreRefused) {
  for (const std::u32string& bad : {std::u32string(), std::u32string(U"B12"), std::u32string(U"b"),
                                    std::u32string(U"Ä"), std::u32string(U"1?"), std::u32string(U"i")})
    EXPECT_THROW(varo::LabelPattern(bad), std::invalid_argument);
}

TEST(LabelFont, UpperCaseIsTurkish) {
  EXPECT_EQ(varo::UpperCaseLabel(U"iı"), U"İI");
  EXPECT_EQ(varo::UpperCaseLabel(U"çğöşü"), U"ÇĞÖŞÜ");
  EXPECT_EQ(varo::UpperCaseLabel(U"az09-"), U"AZ09-");
  EXPECT_EQ(varo::UpperCaseLabel(U"ä"), U"ä") << "letters outside the font stay as typed";
  EXPECT_EQ(varo::UndrawableCharacters(varo::UpperCaseLabel(U"bi")), U"");
  EXPECT_EQ(varo::UndrawableCharacters(U"A?ä"), U"?ä");
}

TEST(LabelFont, SeveralFloorsAtOnce) {
  std::vector<varo::SegmentPattern> frames;
  for (int f = -3; f <= 2; ++f) frames.push_back(varo::FloorPattern(f));
  const std::vector<varo::SegmentPattern> unchanged = frames;

  struct Case {
    std::optional<std::u32string> Prefix, Ground;
    std::vector<std::u32string> Labels;  // floors -3 .. 0; "" = built-in
  };
  const Case cases[] = {
      {U"B", U"Z", {U"B3", U"B2", U"B1", U"Z"}},
      {U"B", std::nullopt, {U"B3", U"B2", U"B1", U""}},
      {std::nullopt, U"G", {U"", U"", U"", U"G"}},
      {U"", U"00", {U"3", U"2", U"1", U"00"}},
  };
  for (const Case& c : cases) {
    const auto result = varo::ApplySeveralFloorsLabels(frames, -3, {c.Prefix, c.Ground});
    ASSERT_EQ(result.size(), frames.size());
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(result[i], c.Labels[i].empty() ? frames[i] : varo::LabelPattern(c.Labels[i])) << i;
    EXPECT_EQ(result[4], frames[4]);
    EXPECT_EQ(result[5], frames[5]);
  }
  // A range above ground has nothing to label.
  EXPECT_EQ(varo::ApplySeveralFloorsLabels(frames, 1, {U"B", U"Z"}), frames);
  // A label the font cannot draw, or a prefix too long, is refused as a whole.
  for (const varo::SeveralFloorsLabels& bad :
       {varo::SeveralFloorsLabels{U"B", U"?"}, varo::SeveralFloorsLabels{U"BB", U"Z"}})
    EXPECT_THROW(varo::ApplySeveralFloorsLabels(frames, -3, bad), std::invalid_argument);
  EXPECT_EQ(frames, unchanged);
}
