// Redraws the display picture and the tool-button glyphs into a resources folder.
#include <cstdio>
#include <exception>
#include <string>

#include "DisplayArt.h"
#include "Glyphs.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  try {
    bool ok = art::WriteFile(dir + "/display.bmp", art::DrawDisplay().ToBmp());
    for (const art::Glyph& g : art::DrawGlyphs())
      ok = art::WriteFile(dir + "/glyphs/" + g.Name + ".xpm", g.Image.ToXpm(g.Name, art::kTransparent)) && ok;
    if (!ok) {
      std::perror(dir.c_str());
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
