// Throughput of the escape-code parsers over a 10 MiB mix of text and sequences.
#include "terminal/CPortEsc.h"

#include "TermStream.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

// Feeds the stream the way the terminal does (clearing Params after each code); best of Rounds.
template <typename TParser>
double FeedMegabytesPerSecond(const std::string& Stream, int Rounds, std::size_t& Codes) {
  double Best = 0;
  for (int Round = 0; Round < Rounds; ++Round) {
    TParser Concrete;
    TEscapeCodes& Parser = Concrete;  // called as the terminal calls it
    Codes = 0;
    const auto Start = std::chrono::steady_clock::now();
    for (const char Ch : Stream) {
      if (Parser.FeedChar(Ch) == frCode) {
        ++Codes;
        Parser.Params.clear();
      }
    }
    const std::chrono::duration<double> Elapsed = std::chrono::steady_clock::now() - Start;
    Best = std::max(Best, static_cast<double>(Stream.size()) / 1e6 / Elapsed.count());
  }
  return Best;
}

}  // namespace

int main() {
  const std::string Stream = MakeStream(10u << 20);
  std::size_t Codes = 0;
  const double VT100 = FeedMegabytesPerSecond<TEscapeCodesVT100>(Stream, 5, Codes);
  std::printf("BENCH vt100_feed_throughput %.1f MB/s\n", VT100);
  std::printf("# %zu codes in %zu bytes\n", Codes, Stream.size());
  const double VT52 = FeedMegabytesPerSecond<TEscapeCodesVT52>(Stream, 5, Codes);
  std::printf("BENCH vt52_feed_throughput %.1f MB/s\n", VT52);
  return 0;
}
