#include "cli/Progress.h"

void TProgress::Start(const std::string& label, int total) {
  Finish();
  Label_ = label;
  Total_ = total;
  LastTenth_ = 0;
}

void TProgress::Show(int done) {
  if (Quiet_ || Total_ <= 0 || done <= 0) return;
  const int percent = 100 * done / Total_;
  if (Terminal_) {
    constexpr int Width = 32;
    const int filled = Width * done / Total_;
    std::fprintf(Stream_, "\r%s [%s%s] %3d %% %d/%d", Label_.c_str(), std::string(filled, '#').c_str(),
                 std::string(Width - filled, '.').c_str(), percent, done, Total_);
    BarShown_ = true;
  } else {
    while (LastTenth_ < percent / 10) std::fprintf(Stream_, "%s: %d %%\n", Label_.c_str(), 10 * ++LastTenth_);
  }
  std::fflush(Stream_);
}

void TProgress::Finish() {
  if (BarShown_) std::fputc('\n', Stream_);
  BarShown_ = false;
}
