#pragma once
// "TÜM KATLAR" (F2): the overview of every floor, a window of its own that follows every change
// and shows the floor clicked.
#include <QObject>

class QToolButton;
class TOverview;
class TProjectHost;

class TAllFloors : public QObject {
  Q_OBJECT
 public:
  explicit TAllFloors(TProjectHost& host);

  QToolButton* OverviewButton = nullptr;
  TOverview* Overview = nullptr;  // made at the first opening
  void OverviewButtonClick();

 private:
  void Refresh();
  TProjectHost& Host_;
};
