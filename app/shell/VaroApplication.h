#pragma once
// The application object: its title and the default error display for
// anything a handler throws.
#include <QApplication>
#include <functional>

extern const char* const ApplicationTitle;  // "VARO PROGRAMMER", the caption of error boxes

class TVaroApplication : public QApplication {
  Q_OBJECT
 public:
  TVaroApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows a message (the full stop already added); a critical box by default.
  using TErrorDisplay = std::function<void(const QString& message)>;
  void SetErrorDisplay(TErrorDisplay display) { ErrorDisplay_ = std::move(display); }

  // Runs a command; what it throws is shown and ends it. False when it threw.
  bool RunGuarded(const std::function<void()>& command);
  // Shows a message as an error that ended a command would be shown.
  void ShowError(const std::string& message);

 private:
  TErrorDisplay ErrorDisplay_;
};
