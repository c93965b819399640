// A device write with the real pauses to the simulated indicator: the whole
// command's time against the pauses it is held to. Goal: overhead <= 1 %.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "BenchWindow.h"
#include "Indicator.h"
#include "window/UMain.h"
#include "shell/VaroApplication.h"
#include "core/DeviceWrite.h"

int main(int argc, char** argv) {
  BenchEnvironment();
  TVaroApplication app(argc, argv);
  sim::Indicator indicator;
  TFmMain window;
  TUnattendedDialogs& seen = ShowWindowOn(window, indicator.Path());

  const auto start = std::chrono::steady_clock::now();
  const bool ran = app.RunGuarded([&] { window.BtnWriteClick(); });
  const double measured = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!ran || seen.Infos != 1 ||
      !indicator.WaitUntil([&] { return indicator.Seen().Stored == 1; }, std::chrono::seconds(5))) {
    std::fprintf(stderr, "the write did not complete\n");
    return 1;
  }
  const double mandated = varo::MandatedWriteMs(window.BuildDeviceImage(varo::CodeSystemForm::Device));
  std::printf("BENCH device_write_measured %.1f ms\n", measured);
  std::printf("BENCH device_write_mandated %.0f ms\n", mandated);
  std::printf("BENCH device_write_overhead %.2f %%\n", 100.0 * (measured - mandated) / mandated);
  return 0;
}
