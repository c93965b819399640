#pragma once
// "ÇOK KATA ETİKET": a prefix with the floor number for every floor below 0
// (B3 B2 B1) and a label of its own for floor 0, for the floors of a range.
#include <QDialog>

#include "core/LabelFont.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TSeveralFloorsDialog : public QDialog {
  Q_OBJECT
 public:
  TSeveralFloorsDialog(int firstFloor, int frameCount, QWidget* parent);

  // Only what is ticked and applies to the range.
  varo::SeveralFloorsLabels Labels() const;

  QCheckBox* BasementBox;
  QLineEdit* PrefixEdit;
  QCheckBox* GroundBox;
  QLineEdit* GroundEdit;
  QLabel* Preview;
  QPushButton* OkButton;

 private:
  void ShowPreview();
  int FirstFloor_, LastFloor_;
};
