#pragma once
#include <string>
#include <vector>

#include "Canvas.h"

namespace art {

// The colour that stands for "no pixel" in the glyph files.
constexpr Rgb kTransparent{255, 0, 255};

struct Glyph {
  std::string Name;
  Canvas Image;
};

// Pictures of the tool buttons: new, open, save, the two fill squares, the
// floor-number button, the up/down arrows, and the overview, several-floors
// label and sheet buttons.
std::vector<Glyph> DrawGlyphs();

}  // namespace art
