// Device reads from the simulated indicator pacing its answer at 19200 bit/s:
// the time from the indicator's last image byte to the decoded project painted
// on the window. Goal: median <= 5 ms.
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "BenchWindow.h"
#include "Indicator.h"
#include "window/UMain.h"
#include "shell/VaroApplication.h"

namespace {

constexpr int Reads = 50;

// Notes the first paint of the display picture after it is armed.
class TPaintClock : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (Armed && e->type() == QEvent::Paint) {
      Armed = false;
      PaintedAt = sim::Clock::now();
    }
    return false;
  }
  bool Armed = false;
  sim::Clock::time_point PaintedAt{};
};

}  // namespace

int main(int argc, char** argv) {
  BenchEnvironment();
  TVaroApplication app(argc, argv);
  sim::Behaviour paced;
  paced.Paced = true;
  sim::Indicator indicator(paced);
  TFmMain window;
  TUnattendedDialogs& seen = ShowWindowOn(window, indicator.Path());

  TPaintClock clock;
  window.Image1->installEventFilter(&clock);
  // The decoding runs inside the 256th character's handler: from then on the next paint shows it.
  const TChScreenEvent decode = window.ComTerminal1->OnChar;
  window.ComTerminal1->OnChar = [&](TObject* sender, char ch) {
    const int before = window.RxCount;
    decode(sender, ch);
    if (before == 255 && window.RxCount == 256) clock.Armed = true;
  };

  std::vector<double> samples;
  for (int i = 0; i < Reads; ++i) {
    clock.PaintedAt = {};
    bool late = false;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, [&] { late = true; });
    timeout.start(5000);
    if (!app.RunGuarded([&] { window.BtnReadClick(); })) break;
    while (clock.PaintedAt == sim::Clock::time_point{} && !late)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (late || seen.Errors) break;
    samples.push_back(std::chrono::duration<double, std::milli>(clock.PaintedAt - indicator.LastSentAt()).count());
  }
  if (samples.size() != Reads || indicator.Seen().Reads != Reads) {
    std::fprintf(stderr, "only %zu of %d reads completed\n", samples.size(), Reads);
    return 1;
  }
  std::sort(samples.begin(), samples.end());
  std::printf("BENCH read_decode_after_last_byte %.3f ms\n", (samples[Reads / 2 - 1] + samples[Reads / 2]) / 2);
  std::printf("BENCH read_decode_after_last_byte_max %.3f ms\n", samples.back());
  return 0;
}
