#pragma once
// Key preview: the window sees each key press before the focused control,
// once, and the key still goes on to the control.
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QEvent;

class TKeyPreview : public QObject {
 public:
  using THandler = std::function<void(int key, Qt::KeyboardModifiers modifiers)>;
  // Installs itself on the application for key presses inside `window`.
  TKeyPreview(QWidget* window, THandler handler);
  ~TKeyPreview() override;

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* Window_;
  THandler Handler_;
  // The event last acted on and where it was: a key press that a child
  // ignores passes the filter again on its way up to the parents.
  const QEvent* LastEvent_ = nullptr;
  QPointer<QObject> LastReceiver_;
};
