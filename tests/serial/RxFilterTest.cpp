// The receive filter: NUL bytes dropped, bytes the driver marked as received in error replaced,
// whatever the reads cut the input into.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RxFilter.h"

namespace {

std::string Filtered(TRxFilter& F, const std::string& Raw) {
  std::vector<char> Out;
  F.Apply(Raw.data(), Raw.size(), Out);
  return std::string(Out.begin(), Out.end());
}

TEST(RxFilterTest, DropsNullsAndReplacesMarkedBytesAcrossAnyCut) {
  using namespace std::string_literals;
  const struct {
    const char* Name;
    bool DropNull, Marked;
    char Replace;
    std::string Raw, Expected;
  } Cases[] = {
      {"NUL dropped", true, false, '?', "a\0b\0\0c"s, "abc"},
      {"\\377 passes unmarked", true, false, '?', "\377\377a"s, "\377\377a"},
      {"parity error replaced", false, true, '?', "a\377\0xb"s, "a?b"},
      {"error on a NUL byte", false, true, '?', "\377\0\0"s, "?"},
      {"data \\377 comes doubled", false, true, '?', "\377\377\377\377"s, "\377\377"},
      {"data NUL stays without DiscardNull", false, true, '?', "\0a\0"s, "\0a\0"s},
      {"replacement NUL kept, data NUL dropped", true, true, '\0', "\0\377\0x\0"s, "\0"s},
      {"lone \\377 before data is data", false, true, '?', "\377a"s, "\377a"},
  };
  for (const auto& C : Cases) {
    for (size_t Cut = 0; Cut <= C.Raw.size(); ++Cut) {
      TRxFilter F;
      F.Configure(C.DropNull, C.Marked, C.Replace);
      EXPECT_FALSE(F.Passes());
      const std::string First = Filtered(F, C.Raw.substr(0, Cut));
      EXPECT_EQ(First + Filtered(F, C.Raw.substr(Cut)), C.Expected) << C.Name << ", cut at " << Cut;
    }
  }
}

TEST(RxFilterTest, PassesWhenNothingIsAskedAndKeepsAHalfMarkWhileMarking) {
  using namespace std::string_literals;
  TRxFilter F;
  EXPECT_TRUE(F.Passes());
  F.Configure(false, true, '?');
  EXPECT_EQ(Filtered(F, "a\377"), "a");
  F.Configure(true, true, '!');
  EXPECT_EQ(Filtered(F, "\0x"s), "!");
  EXPECT_EQ(Filtered(F, "\377"), "");
  F.Configure(false, false, '?');
  EXPECT_TRUE(F.Passes());
  F.Configure(false, true, '?');
  EXPECT_EQ(Filtered(F, "\377\377"), "\377");
}

}  // namespace
