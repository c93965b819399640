#include "shell/KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

TKeyPreview::TKeyPreview(QWidget* window, THandler handler)
    : QObject(window), Window_(window), Handler_(std::move(handler)) {
  qApp->installEventFilter(this);
}

TKeyPreview::~TKeyPreview() {
  if (qApp) qApp->removeEventFilter(this);
}

bool TKeyPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != Window_) return false;

  const bool propagating =
      event == LastEvent_ && LastReceiver_ && LastReceiver_->isWidgetType() &&
      static_cast<QWidget*>(LastReceiver_.data())->parentWidget() == widget;
  LastEvent_ = event;
  LastReceiver_ = watched;
  if (propagating) return false;

  const auto* key = static_cast<QKeyEvent*>(event);
  Handler_(key->key(), key->modifiers());
  return false;
}
