#pragma once
// The window talking to a simulated indicator on a pseudo-terminal. Pauses do
// not sleep, but last until the line has carried every byte written (as the
// real ones, far longer than a byte takes, do: closing the port discards what
// is still on its way); the one before reading the handshake's answer also
// waits until the indicator has dealt with the "y" and its immediate answer
// has arrived.
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>

#include "shell/CommandLock.h"
#include "Indicator.h"
#include "WindowFixture.h"

// Records the progress bar when the completion message shows.
class TProgressDialogs : public TScriptedDialogs {
 public:
  explicit TProgressDialogs(QProgressBar* bar) : Bar_(bar) {}
  void ShowInfo(const QString& caption, const QString& text) override {
    ProgressAtInfo = Bar_->value();
    TScriptedDialogs::ShowInfo(caption, text);
  }
  int ProgressAtInfo = -1;

 private:
  QProgressBar* Bar_;
};

class LinkTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    auto dialogs = std::make_unique<TProgressDialogs>(Window->ProgressBar1);
    Dialogs = Progress = dialogs.get();
    Window->SetDialogs(std::move(dialogs));
    Window->SetPause([this](int ms) { OnPause(ms); });
    Window->ComPort1.AttachLink(&Tx);
    Tx.OnTxData = [this](TObject*, const void*, int32_t count) { Written += count; };
  }
  void TearDown() override {
    Window->ComPort1.Close();
    Window->ComPort1.DetachLink(&Tx);
    WindowTest::TearDown();
    Sim.reset();
  }

  // A fresh indicator, named in the port box as if typed.
  sim::Indicator& StartIndicator(sim::Behaviour behaviour = {}, const std::string& link = "",
                                 const varo::DeviceImage& image = sim::DefaultImage()) {
    Sim.reset();
    Sim = std::make_unique<sim::Indicator>(behaviour, image, link);
    Handshakes = 0;
    Written = 0;
    Window->TypePortName(QString::fromStdString(Sim->Path()));
    return *Sim;
  }

  void OnPause(int ms) {
    Paused.push_back(ms);
    Bar.push_back(Window->ProgressBar1->value());
    if (Sim)
      ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->HungUp() || Sim->Received().size() >= size_t(Written); },
                                 std::chrono::seconds(5)));
    if (ms == 200) AwaitAnswer();
    if (Hook) Hook(ms);
  }

  void AwaitAnswer() {
    const int expected = AnswerSizes.empty() ? 1 : AnswerSizes.front();
    if (!AnswerSizes.empty()) AnswerSizes.pop_front();
    ++Handshakes;
    ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Handshakes >= Handshakes; }, std::chrono::seconds(5)));
    ASSERT_TRUE(Sim->WaitUntil([&] { return Window->ComPort1.InputQueueCount() >= expected; },
                               std::chrono::seconds(5)));
  }

  // Lets the GUI thread serve what the event thread handed over, until the condition holds.
  static bool ServeUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
      if (t.elapsed() > timeoutMs) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
  }

  std::string Received() const {
    const std::vector<unsigned char> r = Sim->Received();
    return std::string(r.begin(), r.end());
  }
  bool WaitForReceived(size_t count) {
    return Sim->WaitUntil([&] { return Sim->Received().size() >= count; }, std::chrono::seconds(5));
  }

  std::unique_ptr<sim::Indicator> Sim;
  TProgressDialogs* Progress = nullptr;
  std::deque<int> AnswerSizes;  // bytes each handshake's answer puts in the queue at once; 1 when not given
  std::function<void(int ms)> Hook;
  std::vector<int> Bar;  // the progress bar at each pause
  int Handshakes = 0;
  int Written = 0;  // bytes the port has written to the current indicator
  TComLink Tx;
};
