#include "CommandLock.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

TCommandLock::TCommandLock(QWidget* window) : QObject(window), Window_(window) { qApp->installEventFilter(this); }

TCommandLock::~TCommandLock() {
  if (qApp) qApp->removeEventFilter(this);
}

bool TCommandLock::eventFilter(QObject* watched, QEvent* event) {
  if (!Busy_ || !watched->isWidgetType()) return false;
  if (static_cast<QWidget*>(watched)->window() != Window_) return false;
  return event->isInputEvent() || (event->type() == QEvent::Close && watched == Window_);
}

TDeviceCommand::TDeviceCommand(TCommandLock& lock) : Lock_(lock), Owner_(!lock.Busy_) { Lock_.Busy_ = true; }

TDeviceCommand::~TDeviceCommand() {
  if (!Owner_) return;
  // Input that waited for the command reaches the filter now and is dropped.
  QCoreApplication::processEvents();
  Lock_.Busy_ = false;
}
