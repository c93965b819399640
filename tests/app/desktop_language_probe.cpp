// Starts as the program does, in the language the environment gives, and prints one "name=value"
// a line: the C library's message locale, the close question with its buttons (answered Cancel)
// and the captions of the save dialog.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QTextStream>
#include <clocale>

#include "MessageBoxAnswer.h"
#include "shell/StartUp.h"
#include "window/UMain.h"
#include "shell/VaroApplication.h"

int main(int argc, char** argv) {
  const TVaroStartUp startUp;
  TVaroApplication app(argc, argv);
  const TBuiltInTexts builtInTexts(startUp.Language());
  TFmMain window;
  window.show();

  QTextStream out(stdout);
  out << "messages-locale=" << std::setlocale(LC_MESSAGES, nullptr) << "\n";
  out << "language=" << QString::fromStdString(startUp.Language()) << "\n";

  window.Modified = true;
  if (const auto box = AnswerMessageBox([&] { window.close(); }, QMessageBox::Cancel)) {
    out << "question=" << box->Text << "\n";
    for (const auto& [name, button] : {std::pair{"yes", QMessageBox::Yes}, std::pair{"no", QMessageBox::No},
                                       std::pair{"cancel", QMessageBox::Cancel}})
      if (box->Buttons.count(button)) out << name << "=" << box->Buttons.at(button) << "\n";
  }
  out << "window-open=" << window.isVisible() << "\n";

  const auto save = TQtDialogs::MakeFileDialog(&window, {"Ayar Kaydet", "VARO Dosyası (*.vrd)", "vrd"}, true);
  if (const auto* label = save->findChild<QLabel*>("fileNameLabel"))
    out << "file-name=" << ShownText(label->text()) << "\n";
  if (const auto* buttons = save->findChild<QDialogButtonBox*>("buttonBox")) {
    for (QAbstractButton* button : buttons->buttons()) {
      const QDialogButtonBox::ButtonRole role = buttons->buttonRole(button);
      if (role == QDialogButtonBox::AcceptRole) out << "file-accept=" << ShownText(button->text()) << "\n";
      if (role == QDialogButtonBox::RejectRole) out << "file-reject=" << ShownText(button->text()) << "\n";
    }
  }
  return 0;
}
