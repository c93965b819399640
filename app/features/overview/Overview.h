#pragma once
// "TÜM KATLAR": every frame as a small drawing of its two characters with
// its floor number, in floor order; a click chooses the frame.
#include <QImage>
#include <QWidget>
#include <vector>

#include "core/SegmentPattern.h"
#include "core/Thumbnail.h"

class TOverview : public QWidget {
  Q_OBJECT
 public:
  // `picture`: the display picture as delivered, all segments dark.
  TOverview(const QImage& picture, QWidget* parent = nullptr);

  void SetFrames(const std::vector<varo::SegmentPattern>& frames, int firstFloor, int current);
  // Where frame i is drawn, in this widget's coordinates.
  QRect CellRect(int index) const;
  static constexpr int Columns = 8;

 signals:
  void FrameClicked(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  varo::ThumbnailPainter Painter_;
  QImage Thumb_;
  std::vector<varo::SegmentPattern> Frames_;
  int FirstFloor_ = 0;
  int Current_ = 0;
};
