// Prints the translation of each argument, one a line, with catalogs found as a shipped
// program finds them (beside the executable or embedded in it).
#include <cstdio>

#include "gnugettext.h"

int main(int argc, char** argv) {
  StartGnuGettext();
  for (int i = 1; i < argc; ++i) std::printf("%s\n", TranslateText(argv[i]).c_str());
  StopGnuGettext();
  return 0;
}
