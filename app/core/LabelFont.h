#pragma once
// The 16-segment font for floor labels typed by the technician, and the
// labels built from it (at most two characters, right-aligned).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SegmentPattern.h"

namespace varo {

// One character: outer byte (the frame) and inner byte (bars, verticals, diagonals).
struct LabelGlyph {
  char32_t Code;
  uint8_t Outer;
  uint8_t Inner;
};

// Digits, A-Z, Ç Ğ İ Ö Ş Ü, the signs - + / \ * _ = ( ) < > ' " and space.
extern const std::vector<LabelGlyph> LabelFont;

std::optional<LabelGlyph> GlyphOf(char32_t code);

constexpr int MaxLabelLength = 2;

// Upper case the Turkish way: i -> İ, ı -> I; other letters of the font as usual.
std::u32string UpperCaseLabel(const std::u32string& text);

// The characters of text (already upper-cased) that the font cannot draw.
std::u32string UndrawableCharacters(const std::u32string& text);

// The pattern of a label of one or two drawable characters, right-aligned
// like the built-in floor numbers; throws std::invalid_argument otherwise.
SegmentPattern LabelPattern(const std::u32string& text);

// "Apply a label to several floors": the label of every floor below 0 is
// the prefix and the floor's absolute value; floor 0 gets its own label.
struct SeveralFloorsLabels {
  std::optional<std::u32string> BasementPrefix;  // at most one character
  std::optional<std::u32string> GroundLabel;
};

// Frame i belongs to floor firstFloor + i; frames of other floors are kept.
// Throws std::invalid_argument for a label the font cannot draw.
std::vector<SegmentPattern> ApplySeveralFloorsLabels(std::vector<SegmentPattern> frames, int firstFloor,
                                                     const SeveralFloorsLabels& labels);

}  // namespace varo
