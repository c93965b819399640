#pragma once
// The label box right of the frame counter: at most two characters, Enter gives the floor shown
// that label; and copy and paste of the shown floor's pattern as text (Ctrl+C, Ctrl+V).
#include <QObject>

class QLineEdit;
class TProjectHost;

class TLabelBox : public QObject {
  Q_OBJECT
 public:
  explicit TLabelBox(TProjectHost& host);

  QLineEdit* LabelEdit = nullptr;
  void LabelEditApply();
  void CopyFrame();
  void PasteFrame();

 private:
  TProjectHost& Host_;
};
