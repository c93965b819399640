// The project as the extra features see and change it, through the window's host.
#include "window/UMain.h"
#include "window/WindowHost.h"

TProjectHost& TFmMain::Host() { return *Host_; }

varo::ProjectState TFmMain::ProjectSnapshot() const {
  return {FrameTable,  TableRange_.FirstFloorIndex, TableRange_.FrameCount,         TableRange_.LastFloorIndex,
          CodeSystem, CheckBox1->isChecked(),       windowTitle().toStdString()};
}

void TFmMain::NoteProjectChange() { emit Host_->ProjectChanged(); }

void TFmMain::NoteProjectSaved() { emit Host_->ProjectSaved(); }

void TFmMain::SetFrames(std::vector<varo::SegmentPattern> frames) {
  // A feature changes patterns, never the range the table was built for.
  if (frames.size() != FrameTable.size()) return;
  FrameTable = std::move(frames);
  Modified = true;
  PaintFrame(CurrentFrame);
  NoteProjectChange();
}

void TFmMain::ShowFrame(int index) {
  if (index < 0 || index >= ShownFrameCount()) return;
  CurrentFrame = static_cast<uint8_t>(index);
  PaintFrame(CurrentFrame);
  ShowFrameCounter();
}

void TFmMain::RestoreProject(const varo::ProjectState& state, bool saved) {
  const varo::ProjectState before = ProjectSnapshot();
  SelectCodeSystem(state.CodeSystem);
  CheckBox1->setChecked(state.Buzzer);
  setWindowTitle(QString::fromStdString(state.Title));
  if (state.FirstFloorIndex != before.FirstFloorIndex || state.LastFloorIndex != before.LastFloorIndex ||
      state.FrameCount != before.FrameCount) {
    ilkkat->setCurrentIndex(state.FirstFloorIndex);
    ilkkatClick();
    sonkat->setCurrentIndex(state.LastFloorIndex);
    sonkatClick();
    FrameCount = state.FrameCount;
    TableRange_ = {state.FirstFloorIndex, state.FrameCount, state.LastFloorIndex};
  }
  FrameTable = state.Frames;
  const size_t changed = varo::FirstChangedFrame(before, state);
  CurrentFrame = static_cast<uint8_t>(changed < FrameTable.size() ? changed : 0);
  PaintFrame(CurrentFrame);
  ShowFrameCounter();
  // Back at what the file holds, the project is unmodified again.
  Modified = !saved;
}
