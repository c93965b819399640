#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "DisplayArt.h"
#include "Glyphs.h"

namespace {
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
}  // namespace

// The shipped pictures are what the generator draws, so they can be redrawn.
TEST(DisplayArt, ShippedBitmapIsTheGeneratorsDrawing) {
  EXPECT_EQ(art::DrawDisplay().ToBmp(), ReadAll(VARO_RESOURCES "/display.bmp"));
}

TEST(DisplayArt, ShippedGlyphsAreTheGeneratorsDrawings) {
  for (const art::Glyph& g : art::DrawGlyphs())
    EXPECT_EQ(g.Image.ToXpm(g.Name, art::kTransparent), ReadAll(VARO_RESOURCES "/glyphs/" + g.Name + ".xpm"))
        << g.Name;
}
