// Throughput of the escape-code parsers over a 10 MiB mix of text and sequences.
#include "terminal/CPortEsc.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

std::string MakeStream(std::size_t Size) {
  const char* const Pieces[] = {
      "Floor 12 reached, doors opening. ",
      "\x1b[1;31m",
      "ALARM",
      "\x1b[0m",
      "\r\n",
      "\x1b[10;20f",
      "\x1b[2J",
      "\x1b[K",
      "\x1b" "7",
      "\x1b" "8",
      "\x1bOA",
      "\x1b[?7h",
      "The quick brown fox jumps over the lazy dog 0123456789.",
      "\x1b[6n",
      "\tcol\tcol\tcol",
      "\x1b#8",
  };
  std::string Stream;
  Stream.reserve(Size + 64);
  unsigned Seed = 12345;
  while (Stream.size() < Size) {
    Seed = Seed * 1103515245u + 12345u;
    Stream += Pieces[(Seed >> 16) % (sizeof(Pieces) / sizeof(Pieces[0]))];
  }
  Stream.resize(Size);
  return Stream;
}

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
