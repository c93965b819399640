#pragma once
// A frame's pattern as text, the form it takes on the clipboard.
#include <optional>
#include <string>

#include "SegmentPattern.h"

namespace varo {

// "00 00 FF 00": byte 0 first, two hex digits each, as on the clipboard.
std::string PatternText(const SegmentPattern& pattern);
// Four bytes of one or two hex digits, separated by blanks (surrounding
// blanks allowed); nothing for any other text.
std::optional<SegmentPattern> ParsePatternText(const std::string& text);

}  // namespace varo
