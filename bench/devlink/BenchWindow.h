#pragma once
// The real window on the offscreen platform, talking to a simulated indicator
// with nobody at the keyboard.
#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <string>

#include "shell/Dialogs.h"
#include "window/UMain.h"

// A message is taken as read, a failed handshake cancelled, an error printed.
class TUnattendedDialogs : public TDialogs {
 public:
  TAnswer AskYesNoCancel(const QString&, const QString&) override { return TAnswer::Cancel; }
  TAnswer AskRetryCancel(const QString&, const QString&) override { return TAnswer::Cancel; }
  void ShowInfo(const QString&, const QString&) override { ++Infos; }
  void ShowError(const QString&, const QString& text) override {
    ++Errors;
    std::fprintf(stderr, "%s\n", qPrintable(text));
  }
  std::optional<QString> ChooseOpenFile(const TFileDialog&) override { return std::nullopt; }
  std::optional<QString> ChooseSaveFile(const TFileDialog&) override { return std::nullopt; }
  int Infos = 0;
  int Errors = 0;
};

// Before the application object: offscreen unless told otherwise, and no real port listed.
inline void BenchEnvironment() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("VARO_DEVICE_ROOT", "/nonexistent/varo-device-root");
}

// Shows the window in editing mode with the default project and `port` typed in.
inline TUnattendedDialogs& ShowWindowOn(TFmMain& window, const std::string& port) {
  auto dialogs = std::make_unique<TUnattendedDialogs>();
  TUnattendedDialogs& seen = *dialogs;
  window.SetDialogs(std::move(dialogs));
  window.show();
  window.BitBtn2Click();
  window.TypePortName(QString::fromStdString(port));
  QCoreApplication::processEvents();
  return seen;
}
