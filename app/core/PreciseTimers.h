#pragma once
// Pauses that end on time for as long as it lives, on the thread that made it: a write's 260
// pauses of 2 to 60 ms would stretch by the system's timer slack (Linux: 50 us each) or
// tick (Windows: 15.6 ms by default, so a 60 ms pause takes 62.5).
namespace varo {

class TPreciseTimers {
 public:
  TPreciseTimers();
  ~TPreciseTimers();
  TPreciseTimers(const TPreciseTimers&) = delete;
  TPreciseTimers& operator=(const TPreciseTimers&) = delete;

 private:
  bool Raised_ = false;
};

}  // namespace varo
