#include "Pause.h"

#include <sys/prctl.h>

#include <QCoreApplication>
#include <QEvent>
#include <chrono>
#include <thread>

void RealPause(int milliseconds) {
  // The pause counts from its call, repainting included, and ends on time:
  // a device write is 260 of them, so the kernel's default 50 us of timer
  // slack alone would add 13 ms.
  static const bool precise = prctl(PR_SET_TIMERSLACK, 1UL) == 0;
  (void)precise;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  std::this_thread::sleep_until(deadline);
}
