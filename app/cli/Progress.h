#pragma once
// Progress of a transfer on stderr: a bar redrawn in place on a terminal, one
// line per 10 % otherwise, nothing when quiet.
#include <cstdio>
#include <string>

class TProgress {
 public:
  TProgress(FILE* stream, bool terminal, bool quiet) : Stream_(stream), Terminal_(terminal), Quiet_(quiet) {}
  // A new transfer of `total` steps under this name.
  void Start(const std::string& label, int total);
  void Show(int done);
  // Ends the bar's line, so that messages start on a line of their own.
  void Finish();

 private:
  FILE* Stream_;
  bool Terminal_;
  bool Quiet_;
  std::string Label_;
  int Total_ = 0;
  int LastTenth_ = 0;
  bool BarShown_ = false;
};
