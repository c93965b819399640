#include "shell/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

TDialogs::TAnswer Ask(QWidget* parent, const QString& caption, const QString& text,
                      QMessageBox::StandardButtons buttons) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, buttons, parent);
  switch (box.exec()) {
    case QMessageBox::Yes: return TDialogs::TAnswer::Yes;
    case QMessageBox::No: return TDialogs::TAnswer::No;
    case QMessageBox::Retry: return TDialogs::TAnswer::Retry;
    default: return TDialogs::TAnswer::Cancel;
  }
}

std::optional<QString> Choose(QWidget* parent, const TDialogs::TFileDialog& dialog, bool save) {
  auto d = TQtDialogs::MakeFileDialog(parent, dialog, save);
  if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty()) return std::nullopt;
  return d->selectedFiles().first();
}

}  // namespace

TDialogs::TAnswer TQtDialogs::AskYesNoCancel(const QString& caption, const QString& text) {
  return Ask(Parent_, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

TDialogs::TAnswer TQtDialogs::AskRetryCancel(const QString& caption, const QString& text) {
  return Ask(Parent_, caption, text, QMessageBox::Retry | QMessageBox::Cancel);
}

void TQtDialogs::ShowInfo(const QString& caption, const QString& text) {
  QMessageBox(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, Parent_).exec();
}

void TQtDialogs::ShowError(const QString& caption, const QString& text) {
  QMessageBox(QMessageBox::Critical, caption, text, QMessageBox::Ok, Parent_).exec();
}

std::optional<QString> TQtDialogs::ChooseOpenFile(const TFileDialog& dialog) { return Choose(Parent_, dialog, false); }

std::optional<QString> TQtDialogs::ChooseSaveFile(const TFileDialog& dialog) { return Choose(Parent_, dialog, true); }

std::unique_ptr<QFileDialog> TQtDialogs::MakeFileDialog(QWidget* parent, const TFileDialog& dialog, bool save) {
  auto d = std::make_unique<QFileDialog>(parent, dialog.Title);
  d->setNameFilter(dialog.Filter);
  d->setDefaultSuffix(dialog.DefaultSuffix);
  if (save) {
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
  } else {
    d->setAcceptMode(QFileDialog::AcceptOpen);
    d->setFileMode(QFileDialog::ExistingFile);
  }
  return d;
}
