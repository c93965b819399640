#pragma once
// A shown main window with scripted dialogs, a pause that only counts, and
// the application's error display routed into the script.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <stdexcept>

#include "ScriptedDialogs.h"
#include "window/UMain.h"
#include "shell/VaroApplication.h"
#include "core/DisplayPicture.h"

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    Window = std::make_unique<TFmMain>();
    auto dialogs = std::make_unique<TScriptedDialogs>();
    Dialogs = dialogs.get();
    Window->SetDialogs(std::move(dialogs));
    Window->SetPause([this](int ms) { Paused.push_back(ms); });
    App()->SetErrorDisplay(
        [this](const QString& m) { Dialogs->ShowError(QString::fromUtf8(ApplicationTitle), m); });
    Window->show();
  }
  void TearDown() override {
    App()->SetErrorDisplay(nullptr);
    Window.reset();
  }

  static TVaroApplication* App() { return static_cast<TVaroApplication*>(qApp); }

  // Runs a command as the event loop would: what it throws goes to the error display.
  bool Run(const std::function<void()>& command) { return App()->RunGuarded(command); }

  // Chooses an item of a list as the user does.
  static void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

  varo::SegmentPattern Shown() { return varo::CapturePattern(Window->Image1->View()); }

  // An extra feature the window carries.
  template <class T>
  T& Extra() {
    T* feature = Window->findChild<T*>();
    if (!feature) throw std::logic_error("the window carries no such feature");
    return *feature;
  }

  std::unique_ptr<TFmMain> Window;
  TScriptedDialogs* Dialogs = nullptr;
  std::vector<int> Paused;
};
