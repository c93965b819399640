// Where the sheet puts its heading, details and drawings, and what its details say.
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/SheetLayout.h"

namespace {

constexpr double Aspect = 432.0 / 345.0, Margin = 15;

bool Overlap(const varo::RectMm& a, const varo::RectMm& b) {
  return a.X < b.Right() && b.X < a.Right() && a.Y < b.Bottom() && b.Y < a.Bottom();
}

}  // namespace

TEST(SheetLayout, EveryFloorFitsThePageInFloorOrderWithoutOverlap) {
  struct Case {
    const char* Paper;
    double Width, Height;
    int Frames;
    double MinDrawingWidth;  // what stays legible for that many floors
  };
  const Case cases[] = {
      {"A4", 210, 297, 1, 45},   {"A4", 210, 297, 2, 45},   {"A4", 210, 297, 16, 40},
      {"A4", 210, 297, 19, 35},  {"A4", 210, 297, 60, 18},  {"A4", 210, 297, 61, 18},
      {"A4 landscape", 297, 210, 61, 14}, {"Letter", 215.9, 279.4, 61, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Paper) + ", " + std::to_string(c.Frames) + " floors");
    const varo::SheetLayout layout = varo::LayOutSheet(c.Width, c.Height, c.Frames, 5, Aspect);
    ASSERT_EQ(layout.Drawings.size(), static_cast<size_t>(c.Frames));
    ASSERT_EQ(layout.Captions.size(), static_cast<size_t>(c.Frames));
    ASSERT_EQ(layout.DetailLines.size(), 5u);
    const double detailsBottom = layout.DetailLines.back().Bottom();
    EXPECT_GT(layout.DetailLines.front().Y, layout.Heading.Bottom() - 1e-9);
    for (int i = 0; i < c.Frames; ++i) {
      const varo::RectMm& d = layout.Drawings[i];
      const varo::RectMm& cap = layout.Captions[i];
      EXPECT_GE(d.Width, c.MinDrawingWidth) << i;
      EXPECT_LE(d.Width, 45 + 1e-9) << i;
      EXPECT_NEAR(d.Width / d.Height, Aspect, 1e-9) << i;
      EXPECT_GE(d.X, Margin - 1e-9) << i;
      EXPECT_LE(d.Right(), c.Width - Margin + 1e-9) << i;
      EXPECT_GT(d.Y, detailsBottom) << i;
      EXPECT_NEAR(cap.Y, d.Bottom(), 1e-9) << i;
      EXPECT_NEAR(cap.X, d.X, 1e-9) << i;
      EXPECT_LE(cap.Bottom(), c.Height - Margin + 1e-9) << i;
      if (i > 0) {
        const varo::RectMm& prev = layout.Drawings[i - 1];
        const bool sameRow = std::abs(prev.Y - d.Y) < 1e-9;
        EXPECT_TRUE((sameRow && d.X > prev.Right()) || (d.Y > layout.Captions[i - 1].Bottom() && d.X <= prev.X))
            << "floor order breaks at " << i;
      }
      for (int j = 0; j < i; ++j) {
        EXPECT_FALSE(Overlap(d, layout.Drawings[j]) || Overlap(cap, layout.Captions[j]) ||
                     Overlap(d, layout.Captions[j]) || Overlap(cap, layout.Drawings[j]))
            << i << " and " << j;
      }
    }
    // The grid sits in the middle of the page.
    double left = c.Width, right = 0;
    for (const varo::RectMm& d : layout.Drawings) left = std::min(left, d.X), right = std::max(right, d.Right());
    EXPECT_NEAR(left - Margin, c.Width - Margin - right, 1e-6);
  }
}

TEST(SheetLayout, APageTooSmallIsRefused) {
  EXPECT_THROW(varo::LayOutSheet(74, 105, 61, 5, Aspect), std::invalid_argument);  // A7
  EXPECT_NO_THROW(varo::LayOutSheet(74, 105, 2, 5, Aspect));
  EXPECT_TRUE(varo::LayOutSheet(210, 297, 0, 4, Aspect).Drawings.empty());
}

TEST(SheetLayout, DetailLinesNameRangeCodeSystemBuzzerDateAndFile) {
  struct Case {
    varo::SheetFacts Facts;
    std::vector<std::string> Lines;
  };
  const Case cases[] = {
      {{-3, 19, 1, false, "05.03.2025", ""},
       {"Katlar: -3 ile 15 arası, 19 kat", "Kod sistemi: Gray Decoding", "Buzzer: kapalı", "Tarih: 05.03.2025"}},
      {{0, 61, 2, true, "31.12.2024", "bina-b-blok.vrd"},
       {"Katlar: 0 ile 60 arası, 61 kat", "Kod sistemi: Sayıcı (Tek Tüp)", "Buzzer: açık", "Tarih: 31.12.2024",
        "Dosya: bina-b-blok.vrd"}},
      // A project file may hold any count and code system.
      {{5, 1, 9, false, "01.01.2025", ""},
       {"Kat: 5", "Kod sistemi: bilinmiyor (9)", "Buzzer: kapalı", "Tarih: 01.01.2025"}},
      {{-8, 0, 4, false, "01.01.2025", ""},
       {"Katlar: yok", "Kod sistemi: 7 Segment", "Buzzer: kapalı", "Tarih: 01.01.2025"}},
  };
  for (const Case& c : cases) EXPECT_EQ(varo::SheetDetailLines(c.Facts), c.Lines);
}
