#include "shell/VaroApplication.h"

#include <QMessageBox>
#include <exception>

#include "core/ErrorText.h"
#include "shell/WindowFonts.h"

const char* const ApplicationTitle = "VARO PROGRAMMER";

TVaroApplication::TVaroApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromUtf8(ApplicationTitle));
  // Lets the desktop match the window to its entry and icon.
  setDesktopFileName(QStringLiteral("varo-programmer"));
  UseWindowFonts();
}

bool TVaroApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  RunGuarded([&] { result = QApplication::notify(receiver, event); });
  return result;
}

bool TVaroApplication::RunGuarded(const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const std::exception& e) {
    ShowError(e.what());
  } catch (...) {
    ShowError("Unknown error");
  }
  return false;
}

void TVaroApplication::ShowError(const std::string& message) {
  const QString text = QString::fromStdString(varo::WithFullStop(message));
  if (ErrorDisplay_)
    ErrorDisplay_(text);
  else
    QMessageBox::critical(activeWindow(), QString::fromUtf8(ApplicationTitle), text);
}
