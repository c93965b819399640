#pragma once
// Image1: the display bitmap shown unscaled, so mouse positions are bitmap
// coordinates; reports presses and releases of any button.
#include <QImage>
#include <QWidget>

#include "core/DisplayPicture.h"

class TDisplayImage : public QWidget {
  Q_OBJECT
 public:
  explicit TDisplayImage(QWidget* parent = nullptr);

  // The 24-bit picture; painting changes it in place through View().
  const QImage& Picture() const { return Picture_; }
  varo::RgbView View();
  QSize sizeHint() const override { return Picture_.size(); }

 signals:
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage Picture_;
};
