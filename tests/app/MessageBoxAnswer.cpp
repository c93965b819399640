#include "MessageBoxAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

QString ShownText(const QString& caption) {
  QString shown;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

std::optional<TShownBox> AnswerMessageBox(const std::function<void()>& action, QMessageBox::StandardButton answer) {
  std::optional<TShownBox> shown;
  // Runs inside the box's own event loop; owned here so it cannot fire after a box that never came.
  QTimer reader;
  reader.setSingleShot(true);
  QObject::connect(&reader, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    TShownBox read{box->text(), {}};
    for (QAbstractButton* button : box->buttons())
      read.Buttons[box->standardButton(button)] = ShownText(button->text());
    shown = read;
    if (QAbstractButton* chosen = box->button(answer))
      chosen->click();
    else
      box->reject();
  });
  reader.start(0);
  action();
  return shown;
}
