#include "PatternText.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace varo {

std::string PatternText(const SegmentPattern& pattern) {
  char text[12];
  std::snprintf(text, sizeof text, "%02X %02X %02X %02X", pattern.Bytes[0], pattern.Bytes[1], pattern.Bytes[2],
                pattern.Bytes[3]);
  return text;
}

std::optional<SegmentPattern> ParsePatternText(const std::string& text) {
  std::istringstream in(text);
  SegmentPattern p;
  std::string word;
  for (int i = 0; i < 4; ++i) {
    if (!(in >> word) || word.size() > 2) return std::nullopt;
    unsigned value = 0;
    for (char c : word) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
      value = value * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::toupper(c) - 'A' + 10));
    }
    p.Bytes[i] = static_cast<uint8_t>(value);
  }
  if (in >> word) return std::nullopt;
  return p;
}

}  // namespace varo
