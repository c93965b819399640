#include <gtest/gtest.h>

#include "core/FloorLists.h"

TEST(FloorLists, FirstFloorListRunsFromMinus8To59) {
  const auto list = varo::FirstFloorList();
  ASSERT_EQ(list.size(), 68u);
  EXPECT_EQ(list.front(), -8);
  EXPECT_EQ(list[8], 0);
  EXPECT_EQ(list.back(), 59);
}

struct FloorCase {
  int First;
  int PreviousLast;
  int ListFront, ListBack;
  int Selected;
  int FrameCount;
};

class FloorListRules : public testing::TestWithParam<FloorCase> {};

TEST_P(FloorListRules, RebuildReselectAndCount) {
  const FloorCase c = GetParam();
  const auto list = varo::LastFloorList(c.First);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front(), c.ListFront);
  EXPECT_EQ(list.back(), c.ListBack);
  for (size_t i = 1; i < list.size(); ++i) EXPECT_EQ(list[i], list[i - 1] + 1);
  const int index = varo::ReselectIndex(list, c.PreviousLast);
  EXPECT_EQ(list.at(index), c.Selected);
  EXPECT_EQ(varo::FrameCountOf(c.First, list.at(index)), c.FrameCount);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, FloorListRules,
    testing::Values(FloorCase{59, 15, 60, 60, 60, 2},     // only "60"
                    FloorCase{0, 15, 1, 60, 15, 16},      // "15" stays selected
                    FloorCase{20, 15, 21, 60, 60, 41},    // "15" gone: the highest
                    FloorCase{-8, 60, -7, 51, 51, 60},    // 59 - |f|
                    FloorCase{-1, 5, 0, 58, 5, 7},        // 0 .. 58
                    FloorCase{0, 60, 1, 60, 60, 61},      // the largest range
                    FloorCase{58, 60, 59, 60, 60, 3},
                    FloorCase{-8, -7, -7, 51, -7, 2}));

TEST(FloorLists, NoFirstFloorOutsideTheList) {
  EXPECT_THROW(varo::LastFloorList(-9), std::out_of_range);
  EXPECT_THROW(varo::LastFloorList(60), std::out_of_range);
}

TEST(FloorLists, LongestRangeFromEachFirstFloor) {
  for (int first = -8; first <= 59; ++first) {
    const auto list = varo::LastFloorList(first);
    const int frames = varo::FrameCountOf(first, list.back());
    EXPECT_EQ(frames, first < 0 ? 60 : 61 - first) << first;
  }
}
