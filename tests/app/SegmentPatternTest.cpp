#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "core/SegmentPattern.h"

using varo::SegmentPattern;

TEST(SegmentPattern, SegmentSIsBit7MinusSMod8OfByteSDiv8) {
  for (int s = 0; s < varo::SegmentCount; ++s) {
    SegmentPattern p;
    p.SetSegment(s, true);
    SegmentPattern expected;
    expected.Bytes[s / 8] = static_cast<uint8_t>(0x80 >> (s % 8));
    EXPECT_EQ(p, expected) << "segment " << s;
    for (int t = 0; t < varo::SegmentCount; ++t) EXPECT_EQ(p.Segment(t), t == s);
    p.SetSegment(s, false);
    EXPECT_EQ(p, SegmentPattern{});
  }
}

TEST(SegmentPattern, OuterSegmentsOfTheRightCharacterMakeAZero) {
  SegmentPattern p;
  for (int s = 16; s < 24; ++s) p.SetSegment(s, true);
  EXPECT_EQ(p.Bytes, (std::array<uint8_t, 4>{0x00, 0x00, 0xFF, 0x00}));
}

// Each floor is composed from the character glyphs: tens (or minus, or
// blank) on the left, units on the right.
TEST(FloorPatterns, EveryFloorIsComposedFromItsDigits) {
  const std::map<char, std::array<uint8_t, 2>> glyph = {
      {' ', {0x00, 0x00}}, {'-', {0x00, 0x18}}, {'0', {0xFF, 0x00}}, {'1', {0x30, 0x00}},
      {'2', {0xEE, 0x18}}, {'3', {0xFC, 0x18}}, {'4', {0x31, 0x18}}, {'5', {0xDD, 0x18}},
      {'6', {0xDF, 0x18}}, {'7', {0xF0, 0x00}}, {'8', {0xFF, 0x18}}, {'9', {0xFD, 0x18}}};
  for (int floor = -8; floor <= 60; ++floor) {
    const char left = floor < 0 ? '-' : (floor < 10 ? ' ' : static_cast<char>('0' + floor / 10));
    const char right = static_cast<char>('0' + std::abs(floor) % 10);
    const SegmentPattern p = varo::FloorPattern(floor);
    EXPECT_EQ(p.Bytes[0], glyph.at(left)[0]) << "floor " << floor;
    EXPECT_EQ(p.Bytes[1], glyph.at(left)[1]) << "floor " << floor;
    EXPECT_EQ(p.Bytes[2], glyph.at(right)[0]) << "floor " << floor;
    EXPECT_EQ(p.Bytes[3], glyph.at(right)[1]) << "floor " << floor;
  }
}

TEST(FloorPatterns, EdgesOfTheTable) {
  using B = std::array<uint8_t, 4>;
  EXPECT_EQ(varo::FloorPattern(-8).Bytes, (B{0x00, 0x18, 0xFF, 0x18}));
  EXPECT_EQ(varo::FloorPattern(-1).Bytes, (B{0x00, 0x18, 0x30, 0x00}));
  EXPECT_EQ(varo::FloorPattern(0).Bytes, (B{0x00, 0x00, 0xFF, 0x00}));
  EXPECT_EQ(varo::FloorPattern(15).Bytes, (B{0x30, 0x00, 0xDD, 0x18}));
  EXPECT_EQ(varo::FloorPattern(60).Bytes, (B{0xDF, 0x18, 0xFF, 0x00}));
  EXPECT_THROW(varo::FloorPattern(-9), std::out_of_range);
  EXPECT_THROW(varo::FloorPattern(61), std::out_of_range);
}

TEST(SegmentSeeds, AreTheTablesPoints) {
  EXPECT_EQ(varo::SeedOf(0).X, 87);
  EXPECT_EQ(varo::SeedOf(0).Y, 29);
  EXPECT_EQ(varo::SeedOf(17).X, 369);
  EXPECT_EQ(varo::SeedOf(31).X, 354);
  EXPECT_EQ(varo::SeedOf(31).Y, 246);
  EXPECT_THROW(varo::SeedOf(32), std::out_of_range);
  EXPECT_THROW(varo::SeedOf(-1), std::out_of_range);
}
