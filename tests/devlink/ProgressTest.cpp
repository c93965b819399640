// Progress of the command line on stderr: a bar in place on a terminal, a line per 10 % in a log.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cli/Progress.h"

namespace {

std::string Shown(bool terminal, bool quiet, const std::vector<int>& steps) {
  char* text = nullptr;
  size_t size = 0;
  FILE* stream = open_memstream(&text, &size);
  {
    TProgress progress(stream, terminal, quiet);
    progress.Start("write", 256);
    for (int done : steps) progress.Show(done);
    progress.Finish();
  }
  std::fclose(stream);
  std::string result(text, size);
  std::free(text);
  return result;
}

}  // namespace

TEST(CliProgress, ALinePerTenthInALogNothingWhenQuiet) {
  std::vector<int> all;
  for (int i = 0; i <= 256; ++i) all.push_back(i);
  std::string expected;
  for (int p = 10; p <= 100; p += 10) expected += "write: " + std::to_string(p) + " %\n";
  EXPECT_EQ(Shown(false, false, all), expected);
  // A jump over several tenths still names each of them once.
  EXPECT_EQ(Shown(false, false, {0, 77, 256}), expected);
  EXPECT_EQ(Shown(false, true, all), "");
  EXPECT_EQ(Shown(true, true, all), "");
}

TEST(CliProgress, ABarRedrawnInPlaceEndsItsLine) {
  EXPECT_EQ(Shown(true, false, {0, 128, 256}),
            "\rwrite [################................]  50 % 128/256"
            "\rwrite [################################] 100 % 256/256\n");
  EXPECT_EQ(Shown(true, false, {0}), "") << "nothing before the first byte";
}
