#pragma once
// Undo and redo of the whole project (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z), in editing mode: every state
// the project went through, its title with it; back at what the file holds it is unmodified.
#include <QObject>

#include "core/ProjectHistory.h"

class TProjectHost;

class TUndo : public QObject {
  Q_OBJECT
 public:
  explicit TUndo(TProjectHost& host);

  void UndoProject();
  void RedoProject();

 private:
  TProjectHost& Host_;
  varo::ProjectHistory History_;
};
