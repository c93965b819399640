#include "shell/Pause.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <thread>

#include "shell/SerialHooks.h"
#include "core/DeviceProtocol.h"
#include "core/PreciseTimers.h"

void RealPause(int milliseconds, const std::function<bool()>& stopped) {
  // The pause counts from its call, event handling included, and ends on time.
  const varo::TPreciseTimers precise;
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  const TLoopCallsHeld held;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  // The event loop's timers wake a millisecond or so late: the last stretch is slept.
  constexpr auto Margin = std::chrono::milliseconds(3);
  QTimer wake;
  wake.setTimerType(Qt::PreciseTimer);
  wake.setSingleShot(true);
  for (;;) {
    if (stopped && stopped()) return;
    const auto left = deadline - Clock::now();
    if (left <= Margin) break;
    wake.start(std::chrono::duration_cast<std::chrono::milliseconds>(left - Margin));
    // The window system counts a close request as user input: excluding input would hold it back
    // until the command is over.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  std::this_thread::sleep_until(deadline);
}
