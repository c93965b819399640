#pragma once
// Reads the modal message box an action shows through its widgets, then answers it.
#include <QMessageBox>
#include <QString>
#include <functional>
#include <map>
#include <optional>

// A caption as the user sees it: mnemonic marks removed ("&Evet" shows "Evet").
QString ShownText(const QString& caption);

struct TShownBox {
  QString Text;
  std::map<QMessageBox::StandardButton, QString> Buttons;  // shown captions
};

// Runs action, which is to show a modal message box, reads the box and clicks its answer button
// (closing it when it has none). Nothing when no box came up.
std::optional<TShownBox> AnswerMessageBox(const std::function<void()>& action, QMessageBox::StandardButton answer);
