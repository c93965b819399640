#include "CommandLock.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWidget>

TCommandLock::TCommandLock(QWidget* window) : QObject(window), Window_(window) { qApp->installEventFilter(this); }

TCommandLock::~TCommandLock() {
  if (qApp) qApp->removeEventFilter(this);
}

bool TCommandLock::eventFilter(QObject* watched, QEvent* event) {
  if (!Busy_ || !watched->isWidgetType()) return false;
  if (static_cast<QWidget*>(watched)->window() != Window_) return false;
  if (event->type() == QEvent::Close && watched == Window_) {
    // Refused for now; the window closes when the stopped command is over.
    event->ignore();
    Stopping_ = true;
    return true;
  }
  return event->isInputEvent();
}

TDeviceCommand::TDeviceCommand(TCommandLock& lock) : Lock_(lock), Owner_(!lock.Busy_) { Lock_.Busy_ = true; }

TDeviceCommand::~TDeviceCommand() {
  if (!Owner_) return;
  // Input that waited for the command reaches the filter now and is dropped.
  QCoreApplication::processEvents();
  Lock_.Busy_ = false;
  if (!Lock_.Stopping_) return;
  Lock_.Stopping_ = false;
  // From the event loop, where what they throw reaches the error display.
  TCommandLock* lock = &Lock_;
  QMetaObject::invokeMethod(
      lock,
      [lock] {
        if (lock->OnStopped) lock->OnStopped();
        lock->Window_->close();
      },
      Qt::QueuedConnection);
}
