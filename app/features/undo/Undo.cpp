#include "features/undo/Undo.h"

#include "features/Shortcut.h"
#include "window/ProjectHost.h"

TUndo::TUndo(TProjectHost& host) : QObject(&host), Host_(host) {
  setObjectName("Undo");
  connect(&host, &TProjectHost::ProjectChanged, this, [this] { History_.Note(Host_.Project()); });
  // A save names the file in the title: the same step, now the saved one.
  connect(&host, &TProjectHost::ProjectSaved, this, [this] {
    History_.Amend(Host_.Project());
    History_.MarkSaved();
  });
  AddShortcut(host.Window(), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, this, &TUndo::UndoProject);
  AddShortcut(host.Window(), {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, this,
              &TUndo::RedoProject);
}

// Not while the floor-range panel is shown: its lists and cancel stand for the range of the table.
void TUndo::UndoProject() {
  if (Host_.InSetupMode()) return;
  if (const auto state = History_.Undo()) Host_.RestoreProject(*state, History_.AtSaved());
}

void TUndo::RedoProject() {
  if (Host_.InSetupMode()) return;
  if (const auto state = History_.Redo()) Host_.RestoreProject(*state, History_.AtSaved());
}
