#include "terminal/Windows1254.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(Windows1254, TurkishLettersAndTheirLatin1Neighbours) {
  struct TCase {
    unsigned char Byte;
    char32_t Ch;
  };
  const TCase Cases[] = {{0xFD, U'\u0131'}, {0xFE, U'\u015F'}, {0xF0, U'\u011F'}, {0xDD, U'\u0130'},
                         {0xDE, U'\u015E'}, {0xD0, U'\u011E'}, {0xE7, U'\u00E7'}, {0xC7, U'\u00C7'},
                         {0xF6, U'\u00F6'}, {0xDC, U'\u00DC'}, {0xFF, U'\u00FF'}, {0xA0, U'\u00A0'},
                         {0x80, U'\u20AC'}, {0x8A, U'\u0160'}, {0x9F, U'\u0178'}, {0x41, U'A'},
                         {0x00, U'\0'},     {0x1B, U'\x1B'},   {0x7F, U'\x7F'}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(static_cast<int>(Case.Byte));
    EXPECT_EQ(Windows1254ToUnicode(Case.Byte), Case.Ch);
    EXPECT_EQ(UnicodeToWindows1254(Case.Ch), Case.Byte);
  }
}

TEST(Windows1254, EveryDefinedByteComesBackAndTheRestShowAsReplacement) {
  const std::set<unsigned> Undefined = {0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E};
  std::set<char32_t> Seen;
  for (unsigned Byte = 0; Byte < 256; ++Byte) {
    SCOPED_TRACE(Byte);
    const char32_t Ch = Windows1254ToUnicode(static_cast<unsigned char>(Byte));
    if (Undefined.count(Byte) != 0) {
      EXPECT_EQ(Ch, U'\uFFFD');
      continue;
    }
    EXPECT_TRUE(Seen.insert(Ch).second) << "two bytes for one character";
    EXPECT_EQ(UnicodeToWindows1254(Ch), Byte);
  }
}

TEST(Windows1254, CharactersOutsideThePageHaveNoByte) {
  for (const char32_t Ch : {U'\u00FD', U'\u00FE', U'\u00F0', U'\u00DD', U'\u00DE', U'\u00D0', U'\u0080',
                            U'\u009F', U'\u017D', U'\u017E', U'\uFFFD', U'\u4E2D', U'\U0001F600'}) {
    EXPECT_FALSE(UnicodeToWindows1254(Ch).has_value()) << static_cast<unsigned>(Ch);
  }
}

}  // namespace
