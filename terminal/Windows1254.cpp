#include "Windows1254.h"

namespace {

constexpr char32_t Undefined = 0xFFFD;

// $80..$9F; from $A0 on the page is Latin-1 apart from six Turkish letters.
constexpr char32_t High[32] = {
    0x20AC, Undefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030,    0x0160, 0x2039, 0x0152, Undefined, Undefined, Undefined,
    Undefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122,    0x0161, 0x203A, 0x0153, Undefined, Undefined, 0x0178};

struct TTurkish {
  unsigned char Byte;
  char32_t Ch;
};
constexpr TTurkish Turkish[] = {{0xD0, 0x011E}, {0xDD, 0x0130}, {0xDE, 0x015E},
                                {0xF0, 0x011F}, {0xFD, 0x0131}, {0xFE, 0x015F}};

}  // namespace

char32_t Windows1254ToUnicode(unsigned char Byte) {
  if (Byte >= 0x80 && Byte < 0xA0) {
    return High[Byte - 0x80];
  }
  for (const TTurkish& Letter : Turkish) {
    if (Letter.Byte == Byte) {
      return Letter.Ch;
    }
  }
  return Byte;
}

std::optional<unsigned char> UnicodeToWindows1254(char32_t Ch) {
  if (Ch < 0x80) {
    return static_cast<unsigned char>(Ch);
  }
  for (const TTurkish& Letter : Turkish) {
    if (Letter.Ch == Ch) {
      return Letter.Byte;
    }
  }
  for (unsigned Index = 0; Index < 32; ++Index) {
    if (High[Index] == Ch && Ch != Undefined) {
      return static_cast<unsigned char>(0x80 + Index);
    }
  }
  // The Latin-1 letters the Turkish ones displaced have no byte here.
  if (Ch >= 0xA0 && Ch <= 0xFF && Windows1254ToUnicode(static_cast<unsigned char>(Ch)) == Ch) {
    return static_cast<unsigned char>(Ch);
  }
  return std::nullopt;
}
