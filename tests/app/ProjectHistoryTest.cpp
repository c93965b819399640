// Undo and redo of the project, the clipboard text of a pattern and the
// thumbnails drawn from the display picture's regions.
#include <gtest/gtest.h>

#include "DisplayArt.h"
#include "core/ProjectHistory.h"
#include "core/PatternText.h"
#include "core/Thumbnail.h"

namespace {

varo::ProjectState Table(std::initializer_list<int> floors, uint8_t first = 8) {
  varo::ProjectState t;
  for (int f : floors) t.Frames.push_back(varo::FloorPattern(f));
  t.FirstFloorIndex = first;
  t.FrameCount = static_cast<uint8_t>(floors.size());
  t.LastFloorIndex = static_cast<uint8_t>(first + floors.size() - 2);
  return t;
}

}  // namespace

TEST(ProjectHistory, UndoAndRedoWalkTheStatesBothWays) {
  const varo::ProjectState a = Table({0, 1}), b = Table({5, 1}), c = Table({5, 7}), d = Table({-2, -1, 0}, 6);
  varo::ProjectHistory h;
  h.Reset(a);
  EXPECT_FALSE(h.Undo());
  EXPECT_FALSE(h.Note(a)) << "no change, no step";
  EXPECT_TRUE(h.Note(b));
  EXPECT_TRUE(h.Note(c));
  EXPECT_TRUE(h.Note(d));
  EXPECT_EQ(h.Undo(), c);
  EXPECT_EQ(h.Undo(), b);
  EXPECT_EQ(h.Undo(), a);
  EXPECT_FALSE(h.Undo());
  EXPECT_EQ(h.Current(), a);
  EXPECT_EQ(h.Redo(), b);
  EXPECT_EQ(h.Redo(), c);
  // A new change after undoing drops what could have been redone.
  EXPECT_TRUE(h.Note(a));
  EXPECT_FALSE(h.Redo());
  EXPECT_EQ(h.Undo(), c);
  EXPECT_EQ(h.RedoCount(), 1u);
  // Noting the state just restored records nothing.
  EXPECT_FALSE(h.Note(c));
  EXPECT_EQ(h.RedoCount(), 1u);
  // Reset forgets every step.
  h.Reset(d);
  EXPECT_FALSE(h.Undo());
  EXPECT_FALSE(h.Redo());
}

TEST(ProjectHistory, KeepsTheNewestStepsUpToItsLimit) {
  for (size_t limit : {size_t{100}, varo::ProjectHistory::DefaultLimit}) {
    varo::ProjectHistory h(limit);
    varo::ProjectState t = Table({0});
    h.Reset(t);
    const size_t steps = limit + 30;
    for (size_t i = 1; i <= steps; ++i) {
      t.Frames[0].Bytes[0] = static_cast<uint8_t>(i);
      t.Frames[0].Bytes[1] = static_cast<uint8_t>(i >> 8);
      ASSERT_TRUE(h.Note(t));
    }
    EXPECT_EQ(h.UndoCount(), limit);
    size_t undone = 0;
    std::optional<varo::ProjectState> last;
    while (auto s = h.Undo()) last = s, ++undone;
    EXPECT_EQ(undone, limit);
    // The oldest state kept is the one `limit` steps back.
    EXPECT_EQ(last->Frames[0].Bytes[0], static_cast<uint8_t>(steps - limit));
    for (size_t i = 0; i < limit; ++i) ASSERT_TRUE(h.Redo());
    EXPECT_EQ(h.Current(), t);
  }
  EXPECT_GE(varo::ProjectHistory::DefaultLimit, 100u);
}

// An undo or redo that comes back to what was saved is unmodified again, as in an editor; a step
// made after undoing past the saved state can never come back to it.
TEST(ProjectHistory, KnowsWhenUndoOrRedoIsBackAtTheSavedState) {
  varo::ProjectState a = Table({0, 1}), b = Table({5, 1}), c = Table({5, 7});
  c.CodeSystem = 4;
  c.Buzzer = true;
  varo::ProjectHistory h;
  h.Reset(a);
  EXPECT_TRUE(h.AtSaved());
  h.Note(b);
  EXPECT_FALSE(h.AtSaved());
  h.Undo();
  EXPECT_TRUE(h.AtSaved());
  h.Redo();
  // Saved under a name: the title changes in place, no step of its own.
  b.Title = "VARO PROGRAMLAYICI - /tmp/b.vrd";
  h.Amend(b);
  h.MarkSaved();
  EXPECT_EQ(h.UndoCount(), 1u);
  h.Note(c);
  EXPECT_FALSE(h.AtSaved());
  EXPECT_EQ(h.Undo(), b) << "the title comes back with the rest";
  EXPECT_TRUE(h.AtSaved());
  EXPECT_EQ(h.Undo(), a);
  EXPECT_FALSE(h.AtSaved());
  EXPECT_TRUE(h.Note(c));
  EXPECT_FALSE(h.AtSaved());
  EXPECT_EQ(h.Undo(), a);
  EXPECT_FALSE(h.AtSaved());
  EXPECT_EQ(h.Redo(), c);
  EXPECT_FALSE(h.AtSaved());
}

TEST(ProjectHistory, FirstChangedFrame) {
  EXPECT_EQ(varo::FirstChangedFrame(Table({0, 1, 2}), Table({0, 1, 5})), 2u);
  EXPECT_EQ(varo::FirstChangedFrame(Table({0, 1, 2}), Table({0, 1, 2})), 0u);
  EXPECT_EQ(varo::FirstChangedFrame(Table({0, 1, 2}), Table({0, 1})), 0u) << "another range starts at its first frame";
  EXPECT_EQ(varo::FirstChangedFrame(Table({0, 1}), Table({0, 2}, 9)), 0u);
}

TEST(PatternText, WrittenAndReadBack) {
  EXPECT_EQ(varo::PatternText(varo::FloorPattern(0)), "00 00 FF 00");
  EXPECT_EQ(varo::PatternText(varo::FloorPattern(-8)), "00 18 FF 18");
  struct Case {
    const char* Text;
    std::optional<std::array<uint8_t, 4>> Bytes;
  };
  const Case cases[] = {
      {"00 00 FF 00", std::array<uint8_t, 4>{0x00, 0x00, 0xFF, 0x00}},
      {"fc 52 ee 18", std::array<uint8_t, 4>{0xFC, 0x52, 0xEE, 0x18}},
      {"  1 2\t3\n4 \n", std::array<uint8_t, 4>{1, 2, 3, 4}},
      {"", std::nullopt},
      {"00 00 FF", std::nullopt},
      {"00 00 FF 00 00", std::nullopt},
      {"00 00 FG 00", std::nullopt},
      {"000 00 FF 00", std::nullopt},
      {"0x0 00 FF 00", std::nullopt},
      {"00,00,FF,00", std::nullopt},
      {"-1 00 FF 00", std::nullopt},
      {"Kat 3", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto p = varo::ParsePatternText(c.Text);
    ASSERT_EQ(p.has_value(), c.Bytes.has_value()) << c.Text;
    if (p) {
      EXPECT_EQ(p->Bytes, *c.Bytes) << c.Text;
    }
  }
  for (int f = -8; f <= 60; ++f)
    EXPECT_EQ(varo::ParsePatternText(varo::PatternText(varo::FloorPattern(f))), varo::FloorPattern(f));
}

TEST(Thumbnail, EverySeedLandsInItsSegmentAndShowsItsState) {
  const art::Canvas canvas = art::DrawDisplay();
  std::vector<uint8_t> bytes(3 * canvas.Width() * canvas.Height());
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      const art::Rgb c = canvas.At(x, y);
      uint8_t* p = &bytes[3 * (y * canvas.Width() + x)];
      p[0] = c.r, p[1] = c.g, p[2] = c.b;
    }
  const varo::RgbView picture{bytes.data(), canvas.Width(), canvas.Height(), 3 * canvas.Width()};
  for (int divisor : {1, 2, 4, 6}) {
    SCOPED_TRACE(divisor);
    const varo::ThumbnailPainter painter(picture, divisor);
    EXPECT_EQ(painter.Width(), 432 / divisor);
    EXPECT_EQ(painter.Height(), 345 / divisor);
    std::vector<uint8_t> out(3 * painter.Width() * painter.Height());
    const varo::RgbView view{out.data(), painter.Width(), painter.Height(), 3 * painter.Width()};
    const varo::SegmentPattern pattern = varo::FloorPattern(-3);
    painter.Paint(pattern, view);
    for (int s = 0; s < varo::SegmentCount; ++s) {
      const varo::Point seed = varo::SeedOf(s);
      EXPECT_EQ(painter.SegmentAt(seed.X / divisor, seed.Y / divisor), s) << "segment " << s;
      EXPECT_EQ(view.At(seed.X / divisor, seed.Y / divisor), pattern.Segment(s) ? varo::White : varo::ThumbnailDark)
          << "segment " << s;
    }
    EXPECT_EQ(view.At(214 / divisor, 170 / divisor), varo::BackgroundColor);
    EXPECT_EQ(painter.SegmentAt(-1, 0), -1);
  }
}
