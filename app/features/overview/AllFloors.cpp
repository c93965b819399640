#include "features/overview/AllFloors.h"

#include <QToolButton>

#include "features/Shortcut.h"
#include "features/TopRowButton.h"
#include "features/overview/Overview.h"
#include "window/ProjectHost.h"

TAllFloors::TAllFloors(TProjectHost& host) : QObject(&host), Host_(host) {
  setObjectName("AllFloors");
  OverviewButton = AddTopRowButton(host.Window(), "OverviewButton", {504, 2, 27, 27}, "overview", "TÜM KATLAR (F2)");
  connect(OverviewButton, &QToolButton::clicked, this, &TAllFloors::OverviewButtonClick);
  AddShortcut(host.Window(), {QKeySequence(Qt::Key_F2)}, this, &TAllFloors::OverviewButtonClick);
  connect(&host, &TProjectHost::ProjectChanged, this, &TAllFloors::Refresh);
  connect(&host, &TProjectHost::FrameShown, this, &TAllFloors::Refresh);
}

void TAllFloors::OverviewButtonClick() {
  if (!Overview) {
    Overview = new TOverview(QImage(QStringLiteral(":/display.bmp")), Host_.Window());
    connect(Overview, &TOverview::FrameClicked, &Host_, &TProjectHost::ShowFrame);
  }
  Refresh();
  Overview->show();
  Overview->raise();
}

void TAllFloors::Refresh() {
  if (Overview) Overview->SetFrames(Host_.Project().Frames, Host_.FirstFloor(), Host_.CurrentFrame());
}
