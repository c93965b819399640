#include "features/Features.h"

#include "features/labels/LabelBox.h"
#include "features/labels/SeveralFloors.h"
#include "features/overview/AllFloors.h"
#include "features/sheet/ProjectSheet.h"
#include "features/undo/Undo.h"

void InstallFeatures(TProjectHost& host) {
  // In the order their controls lie in the top row.
  new TLabelBox(host);
  new TAllFloors(host);
  new TSeveralFloors(host);
  new TUndo(host);
  new TProjectSheet(host);
}
