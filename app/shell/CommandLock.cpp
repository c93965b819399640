#include "shell/CommandLock.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWidget>

TCommandLock::TCommandLock(QWidget* window) : QObject(window), Window_(window) { qApp->installEventFilter(this); }

TCommandLock::~TCommandLock() {
  if (qApp) qApp->removeEventFilter(this);
}

bool TCommandLock::Locks(const QWidget* window) const {
  const QWidget* modal = QApplication::activeModalWidget();
  for (const QWidget* w = window; w; w = w->parentWidget()) {
    if (w == modal) return false;
    if (w == Window_) return true;
  }
  return false;
}

bool TCommandLock::eventFilter(QObject* watched, QEvent* event) {
  if (!Busy_ || !watched->isWidgetType()) return false;
  if (!Locks(static_cast<QWidget*>(watched)->window())) return false;
  if (event->type() == QEvent::Close && watched == Window_) {
    // Refused for now; the window closes when the stopped command is over.
    event->ignore();
    Stopping_ = true;
    return true;
  }
  // Taken as overridden, a key press starts no shortcut (undo, the overview) either.
  if (event->type() == QEvent::ShortcutOverride) event->accept();
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
