#include "LabelFont.h"

#include <stdexcept>

namespace varo {
namespace {

// Outer byte: top bar left/right half, right side upper/lower, bottom bar
// right/left half, left side lower/upper.
constexpr uint8_t A1 = 0x80, A2 = 0x40, B = 0x20, C = 0x10, D2 = 0x08, D1 = 0x04, E = 0x02, F = 0x01;
// Inner byte: upper-left diagonal, upper vertical, upper-right diagonal,
// middle bar right/left half, lower-left diagonal, lower vertical, lower-right diagonal.
constexpr uint8_t H = 0x80, I = 0x40, J = 0x20, G2 = 0x10, G1 = 0x08, K = 0x04, L = 0x02, M = 0x01;

constexpr uint8_t Top = A1 | A2, Bottom = D1 | D2, Middle = G1 | G2;

std::vector<LabelGlyph> BuildFont() {
  std::vector<LabelGlyph> font;
  // The digits are those of the built-in floor numbers (floors 0 to 9).
  for (int d = 0; d <= 9; ++d) {
    const SegmentPattern p = FloorPattern(d);
    font.push_back({static_cast<char32_t>(U'0' + d), p.Bytes[2], p.Bytes[3]});
  }
  const LabelGlyph rest[] = {
      {U'A', Top | B | C | E | F, Middle},
      {U'B', Top | B | C | Bottom, I | L | G2},
      {U'C', Top | Bottom | E | F, 0},
      {U'D', Top | B | C | Bottom, I | L},
      {U'E', Top | Bottom | E | F, G1},
      {U'F', Top | E | F, G1},
      {U'G', Top | C | Bottom | E | F, G2},
      {U'H', B | C | E | F, Middle},
      {U'I', Top | Bottom, I | L},
      {U'J', B | C | Bottom | E, 0},
      {U'K', E | F, G1 | J | M},
      {U'L', Bottom | E | F, 0},
      {U'M', B | C | E | F, H | J},
      {U'N', B | C | E | F, H | M},
      {U'O', Top | B | C | Bottom | E | F, 0},
      {U'P', Top | B | E | F, Middle},
      {U'Q', Top | B | C | Bottom | E | F, M},
      {U'R', Top | B | E | F, Middle | M},
      {U'S', Top | C | Bottom | F, Middle},
      {U'T', Top, I | L},
      {U'U', B | C | Bottom | E | F, 0},
      {U'V', E | F, K | J},
      {U'W', B | C | E | F, K | M},
      {U'X', 0, H | J | K | M},
      {U'Y', 0, H | J | L},
      {U'Z', Top | Bottom, J | K},
      // No segment lies outside the letter's body for a cedilla, breve, dot
      // or diaeresis: Ç Ğ İ Ö Ş Ü are drawn as C G I O S U.
      {U'Ç', Top | Bottom | E | F, 0},
      {U'Ğ', Top | C | Bottom | E | F, G2},
      {U'İ', Top | Bottom, I | L},
      {U'Ö', Top | B | C | Bottom | E | F, 0},
      {U'Ş', Top | C | Bottom | F, Middle},
      {U'Ü', B | C | Bottom | E | F, 0},
      {U'-', 0, Middle},
      {U'+', 0, Middle | I | L},
      {U'/', 0, J | K},
      {U'\\', 0, H | M},
      {U'*', 0, 0xFF},
      {U'_', Bottom, 0},
      {U'=', Bottom, Middle},
      {U'(', A2 | D2, I | L},
      {U')', A1 | D1, I | L},
      {U'<', 0, J | M},
      {U'>', 0, H | K},
      {U'\'', 0, I},
      {U'"', F, I},
      {U' ', 0, 0},
  };
  font.insert(font.end(), std::begin(rest), std::end(rest));
  return font;
}

}  // namespace

const std::vector<LabelGlyph> LabelFont = BuildFont();

std::optional<LabelGlyph> GlyphOf(char32_t code) {
  for (const LabelGlyph& g : LabelFont)
    if (g.Code == code) return g;
  return std::nullopt;
}

std::u32string UpperCaseLabel(const std::u32string& text) {
  std::u32string upper;
  for (char32_t c : text) {
    switch (c) {
      case U'i': c = U'İ'; break;
      case U'ı': c = U'I'; break;
      case U'ç': c = U'Ç'; break;
      case U'ğ': c = U'Ğ'; break;
      case U'ö': c = U'Ö'; break;
      case U'ş': c = U'Ş'; break;
      case U'ü': c = U'Ü'; break;
      default:
        if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
    }
    upper += c;
  }
  return upper;
}

std::u32string UndrawableCharacters(const std::u32string& text) {
  std::u32string missing;
  for (char32_t c : text)
    if (!GlyphOf(c)) missing += c;
  return missing;
}

SegmentPattern LabelPattern(const std::u32string& text) {
  if (text.empty() || text.size() > MaxLabelLength)
    throw std::invalid_argument("a label has one or two characters");
  if (!UndrawableCharacters(text).empty()) throw std::invalid_argument("the font cannot draw the label");
  SegmentPattern p;
  const size_t start = MaxLabelLength - text.size();
  for (size_t i = 0; i < text.size(); ++i) {
    const LabelGlyph g = *GlyphOf(text[i]);
    p.Bytes[2 * (start + i)] = g.Outer;
    p.Bytes[2 * (start + i) + 1] = g.Inner;
  }
  return p;
}

std::vector<SegmentPattern> ApplySeveralFloorsLabels(std::vector<SegmentPattern> frames, int firstFloor,
                                                     const SeveralFloorsLabels& labels) {
  if (labels.BasementPrefix && labels.BasementPrefix->size() > 1)
    throw std::invalid_argument("the basement prefix has at most one character");
  // Every label is built before any frame changes, so a bad one changes nothing.
  std::vector<std::pair<size_t, SegmentPattern>> changes;
  for (size_t i = 0; i < frames.size(); ++i) {
    const int floor = firstFloor + static_cast<int>(i);
    if (floor < 0 && labels.BasementPrefix)
      changes.emplace_back(i, LabelPattern(*labels.BasementPrefix + static_cast<char32_t>(U'0' - floor)));
    else if (floor == 0 && labels.GroundLabel)
      changes.emplace_back(i, LabelPattern(*labels.GroundLabel));
  }
  for (const auto& [i, pattern] : changes) frames[i] = pattern;
  return frames;
}

}  // namespace varo
