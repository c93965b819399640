// One repaint of the "TÜM KATLAR" window with 61 floors: every drawing and
// floor number, as after any change of the frame table.
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "features/overview/Overview.h"
#include "core/SegmentPattern.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QImage picture(":/display.bmp");
  if (picture.isNull()) {
    std::fprintf(stderr, "display bitmap missing\n");
    return 1;
  }
  TOverview overview(picture);
  std::vector<varo::SegmentPattern> frames;
  for (int floor = 0; floor <= 60; ++floor) frames.push_back(varo::FloorPattern(floor));
  overview.SetFrames(frames, 0, 30);
  QImage target(overview.size(), QImage::Format_RGB32);

  auto repaint = [&] { overview.render(&target); };
  const auto warm = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < warm) repaint();
  std::vector<double> times;
  for (int i = 0; i < 301; ++i) {
    const auto start = std::chrono::steady_clock::now();
    repaint();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  std::printf("BENCH overview_repaint %.3f ms\n", times[times.size() / 2]);
  return 0;
}
