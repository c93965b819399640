#include "core/PreciseTimers.h"

#include <sys/prctl.h>

namespace varo {

// The slack is the thread's for good: nothing to give back.
TPreciseTimers::TPreciseTimers() : Raised_(prctl(PR_SET_TIMERSLACK, 1UL) == 0) {}

TPreciseTimers::~TPreciseTimers() = default;

}  // namespace varo
