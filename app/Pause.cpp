#include "Pause.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

void RealPause(int milliseconds) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}
