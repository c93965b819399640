#pragma once
// While it lives, no file of this process may grow past a few bytes, whoever runs the test (root
// too): writes fail part-way with EFBIG instead of raising SIGXFSZ.
#include <signal.h>
#include <sys/resource.h>

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    Applied_ = getrlimit(RLIMIT_FSIZE, &Old_) == 0;
    rlimit small = Old_;
    small.rlim_cur = bytes;
    OldHandler_ = signal(SIGXFSZ, SIG_IGN);
    Applied_ = Applied_ && setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    if (Applied_) setrlimit(RLIMIT_FSIZE, &Old_);
    signal(SIGXFSZ, OldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool Applied() const { return Applied_; }

 private:
  rlimit Old_{};
  sighandler_t OldHandler_;
  bool Applied_;
};
