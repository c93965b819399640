#pragma once
// A window-wide key for a feature's command.
#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QWidget>

template <class TReceiver, class TSlot>
QAction* AddShortcut(QWidget* window, const QList<QKeySequence>& keys, TReceiver* receiver, TSlot slot) {
  auto* action = new QAction(window);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action, &QAction::triggered, receiver, slot);
  window->addAction(action);
  return action;
}
