#include "features/labels/SeveralFloors.h"

#include <QToolButton>

#include "core/LabelFont.h"
#include "features/TopRowButton.h"
#include "features/labels/SeveralFloorsDialog.h"
#include "window/ProjectHost.h"

TSeveralFloors::TSeveralFloors(TProjectHost& host) : QObject(&host), Host_(host) {
  setObjectName("SeveralFloors");
  SeveralFloorsButton = AddTopRowButton(host.Window(), "SeveralFloorsButton", {533, 2, 26, 27}, "labels",
                                        "ÇOK KATA ETİKET (eksi katlar ve 0. kat)");
  connect(SeveralFloorsButton, &QToolButton::clicked, this, &TSeveralFloors::SeveralFloorsButtonClick);
}

void TSeveralFloors::SeveralFloorsButtonClick() {
  TSeveralFloorsDialog dialog(Host_.FirstFloor(), static_cast<int>(Host_.Project().Frames.size()), Host_.Window());
  if (dialog.exec() == QDialog::Accepted) LabelSeveralFloors(dialog.Labels());
}

void TSeveralFloors::LabelSeveralFloors(const varo::SeveralFloorsLabels& labels) {
  const std::vector<varo::SegmentPattern> frames = Host_.Project().Frames;
  std::vector<varo::SegmentPattern> labelled = varo::ApplySeveralFloorsLabels(frames, Host_.FirstFloor(), labels);
  if (labelled != frames) Host_.SetFrames(std::move(labelled));
}
