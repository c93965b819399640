#include "core/PreciseTimers.h"

#include <windows.h>
#include <timeapi.h>

namespace varo {

// The resolution is the whole machine's: raised only while a command runs.
TPreciseTimers::TPreciseTimers() : Raised_(timeBeginPeriod(1) == TIMERR_NOERROR) {}

TPreciseTimers::~TPreciseTimers() {
  if (Raised_) timeEndPeriod(1);
}

}  // namespace varo
