#pragma once
// What the user can see of the project, to tell that a command changed nothing.
#include <QString>
#include <vector>

#include "window/UMain.h"

struct Snapshot {
  std::vector<varo::SegmentPattern> Table;
  int FrameCount, CurrentFrame, FirstFloor, CodeSystem;
  bool Modified, Buzzer, Setup;
  QString Title, Counter, Status, First, Last, Combo;
  bool operator==(const Snapshot& o) const {
    return Table == o.Table && FrameCount == o.FrameCount && CurrentFrame == o.CurrentFrame &&
           FirstFloor == o.FirstFloor && CodeSystem == o.CodeSystem && Modified == o.Modified &&
           Buzzer == o.Buzzer && Setup == o.Setup && Title == o.Title && Counter == o.Counter &&
           Status == o.Status && First == o.First && Last == o.Last && Combo == o.Combo;
  }
};

inline Snapshot TakeSnapshot(const TFmMain& w) {
  return {w.FrameTable,  w.FrameCount, w.CurrentFrame, w.FirstFloor, w.CodeSystem,
          w.Modified,    w.CheckBox1->isChecked(), w.InSetupMode(), w.windowTitle(), w.StaticText1->text(),
          w.StatusBar1->PanelText(0), w.ilkkat->currentText(), w.sonkat->currentText(), w.ComboBox1->currentText()};
}
