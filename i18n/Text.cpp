#include <algorithm>

#include "gnugettext.h"

namespace {

unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

}  // namespace

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool TTextLessAscii::operator()(const std::string& a, const std::string& b) const {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = FoldAscii(a[i]), y = FoldAscii(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int more;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (end - p <= more) return false;
    if (p[1] < lo || p[1] > hi) return false;
    for (int i = 2; i <= more; ++i)
      if (p[i] < 0x80 || p[i] > 0xBF) return false;
    p += more + 1;
  }
  return true;
}

std::string RemoveCarriageReturns(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t from = 0; from < s.size();) {
    const size_t cr = std::min(s.find('\r', from), s.size());
    out.append(s, from, cr - from);
    from = cr + 1;
  }
  return out;
}

std::string InsertCarriageReturns(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 8);
  for (size_t from = 0; from < s.size();) {
    const size_t lf = std::min(s.find('\n', from), s.size());
    out.append(s, from, lf - from);
    if (lf == s.size()) break;
    if (lf == 0 || s[lf - 1] != '\r') out.push_back('\r');
    out.push_back('\n');
    from = lf + 1;
  }
  return out;
}
