// The floor-range panel and the code system.
#include <QMenu>

#include "window/UMain.h"
#include "core/CodeSystems.h"

void TFmMain::SpeedButton1Click() {
  EnterSetupMode();
  SavedFirstFloorIndex = static_cast<uint8_t>(ilkkat->currentIndex());
  CodeSystem = static_cast<uint8_t>(ComboBox1->currentIndex());
  ilkkatClick();
  SavedLastFloorIndex = static_cast<uint8_t>(sonkat->currentIndex());
}

void TFmMain::BitBtn1Click() {
  // The panel's range, even when an opened file left another FrameCount.
  sonkatClick();
  FillDefaultFrames();
  RememberTableRange();
  CurrentFrame = 0;
  PaintFrame(CurrentFrame);
  EnterEditingMode();
  ShowFrameCounter();
  SelectCodeSystem(static_cast<uint8_t>(ComboBox1->currentIndex()));
  setWindowTitle(QString::fromUtf8(MainTitle));
  CheckBox1->setChecked(false);
  NoteProjectChange();
}

void TFmMain::BitBtn2Click() {
  EnterEditingMode();
  ilkkat->setCurrentIndex(SavedFirstFloorIndex);
  ilkkatClick();
  sonkat->setCurrentIndex(SavedLastFloorIndex);
  sonkatClick();
  ComboBox1->setCurrentIndex(CodeSystem);
}

void TFmMain::SelectCodeSystem(uint8_t index) {
  if (index >= varo::CodeSystemCount) return;
  CodeSystem = index;
  ComboBox1->setCurrentIndex(index);
  StatusBar1->SetPanelText(0, QString::fromUtf8(varo::CodeSystems[index].StatusText));
}

void TFmMain::ShowStatusBarMenu(const QPoint& at) { PopupMenu1->popup(StatusBar1->mapToGlobal(at)); }

void TFmMain::PopupMenu1Popup() {
  const QList<QAction*> items = PopupMenu1->actions();
  if (CodeSystem < items.size()) items[CodeSystem]->setChecked(true);
}

// The item captioned " BINARY" is named GRAY1 and the one captioned " GRAY" BINARY1.
void TFmMain::GRAY1Click() { ChooseCodeSystem(0); }
void TFmMain::BINARY1Click() { ChooseCodeSystem(1); }
void TFmMain::SAYICI111Click() { ChooseCodeSystem(2); }
void TFmMain::SAYICI21Click() { ChooseCodeSystem(3); }
void TFmMain::N7SEGMENT1Click() { ChooseCodeSystem(4); }

void TFmMain::ChooseCodeSystem(uint8_t index) {
  SelectCodeSystem(index);
  NoteProjectChange();
}
