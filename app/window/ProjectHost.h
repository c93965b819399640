#pragma once
// The window as its extra features see it (the label box, labels for several floors,
// the overview, the sheet, undo): the project the image is built from, the frame shown, the
// dialogs, and notifications of change. The window implements it; no feature reaches the window's
// controls or handlers any other way.
#include <QObject>
#include <vector>

#include "core/ProjectHistory.h"
#include "core/SegmentPattern.h"

class QWidget;
class TDialogs;

class TProjectHost : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // The window: parent of a feature's controls and holder of its shortcuts.
  virtual QWidget* Window() = 0;
  virtual TDialogs& Dialogs() = 0;
  // The floor-range panel is shown: its lists and its cancel stand for the table's range.
  virtual bool InSetupMode() const = 0;

  // The project with its title; Frames is the table as the window holds it.
  virtual varo::ProjectState Project() const = 0;
  // Floor of frame 0 of the table held.
  int FirstFloor() const { return Project().FirstFloorIndex + varo::MinFloor; }
  virtual int CurrentFrame() const = 0;

  // New patterns for the table's frames, its range the same: an unsaved change, announced.
  virtual void SetFrames(std::vector<varo::SegmentPattern> frames) = 0;
  // Shows frame `index` if the table has it.
  virtual void ShowFrame(int index) = 0;
  // Makes `state` the project (an undo or a redo): unmodified when `saved`.
  virtual void RestoreProject(const varo::ProjectState& state, bool saved) = 0;

 signals:
  // After every change of the project: frames, range, code system, buzzer, title.
  void ProjectChanged();
  // The project is what its file (or the indicator) holds now: at start, after a save, an open, a read.
  void ProjectSaved();
  // The frame shown changed, or was painted anew.
  void FrameShown();
};
