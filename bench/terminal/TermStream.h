// The byte stream the terminal benchmarks feed: text with CR LF, tabs and the usual sequences.
#pragma once

#include <cstddef>
#include <string>

inline std::string MakeStream(std::size_t Size) {
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
