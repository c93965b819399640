#pragma once
// Nobody to click: a message is taken as read, a failed handshake cancelled,
// an error printed.
#include <cstdio>

#include "Dialogs.h"

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
