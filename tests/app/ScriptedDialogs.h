#pragma once
// Dialogs that answer from a script and record what they were asked.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "shell/Dialogs.h"

class TScriptedDialogs : public TDialogs {
 public:
  struct TCall {
    QString Kind;  // "YesNoCancel", "RetryCancel", "Info", "Error", "Open", "Save"
    QString Caption;
    QString Text;
  };

  std::deque<TAnswer> Answers;
  std::deque<std::optional<QString>> Files;
  std::vector<TCall> Calls;
  std::vector<TFileDialog> FileDialogs;

  TAnswer AskYesNoCancel(const QString& caption, const QString& text) override {
    return Answer("YesNoCancel", caption, text);
  }
  TAnswer AskRetryCancel(const QString& caption, const QString& text) override {
    return Answer("RetryCancel", caption, text);
  }
  void ShowInfo(const QString& caption, const QString& text) override { Calls.push_back({"Info", caption, text}); }
  void ShowError(const QString& caption, const QString& text) override { Calls.push_back({"Error", caption, text}); }
  std::optional<QString> ChooseOpenFile(const TFileDialog& d) override { return File("Open", d); }
  std::optional<QString> ChooseSaveFile(const TFileDialog& d) override { return File("Save", d); }

  std::vector<QString> Kinds() const {
    std::vector<QString> kinds;
    for (const TCall& c : Calls) kinds.push_back(c.Kind);
    return kinds;
  }

 private:
  TAnswer Answer(const QString& kind, const QString& caption, const QString& text) {
    Calls.push_back({kind, caption, text});
    if (Answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text.toStdString();
      return TAnswer::Cancel;
    }
    const TAnswer a = Answers.front();
    Answers.pop_front();
    return a;
  }
  std::optional<QString> File(const QString& kind, const TFileDialog& d) {
    Calls.push_back({kind, d.Title, d.Filter});
    FileDialogs.push_back(d);
    if (Files.empty()) {
      ADD_FAILURE() << "unexpected file dialog: " << d.Title.toStdString();
      return std::nullopt;
    }
    auto f = Files.front();
    Files.pop_front();
    return f;
  }
};
