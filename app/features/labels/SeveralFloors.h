#pragma once
// "ÇOK KATA ETİKET": a label for every floor below 0 (a prefix and the floor number) and one for
// floor 0, in one step.
#include <QObject>

class QToolButton;
class TProjectHost;
namespace varo {
struct SeveralFloorsLabels;
}

class TSeveralFloors : public QObject {
  Q_OBJECT
 public:
  explicit TSeveralFloors(TProjectHost& host);

  QToolButton* SeveralFloorsButton = nullptr;
  void SeveralFloorsButtonClick();
  void LabelSeveralFloors(const varo::SeveralFloorsLabels& labels);

 private:
  TProjectHost& Host_;
};
