// Editing the frame on the display picture.
#include "window/UMain.h"
#include "core/DisplayPicture.h"

void TFmMain::Image1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  Modified = true;
  const varo::RgbView view = Image1->View();
  if (!view.Contains(X, Y)) return;
  const varo::Rgb colour = view.At(X, Y);
  if (colour == varo::SegmentColor)
    varo::FloodFill(view, X, Y, varo::White);
  else if (colour == varo::White)
    varo::FloodFill(view, X, Y, varo::SegmentColor);
  Image1->update();
}

void TFmMain::Image1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) { CaptureFrame(); }

void TFmMain::CaptureFrame() {
  if (CurrentFrame < FrameTable.size()) FrameTable[CurrentFrame] = varo::CapturePattern(Image1->View());
  NoteProjectChange();
}

void TFmMain::FillAllSegments(bool lit) {
  for (int s = 0; s < 16; ++s) PaintSegment(varo::SeedOf(s).X, varo::SeedOf(s).Y, lit);
  for (int s = 16; s < 32; ++s) PaintSegment(varo::SeedOf(s).X, varo::SeedOf(s).Y, lit);
  CaptureFrame();
  Modified = true;
}

void TFmMain::SpeedButton4Click() { FillAllSegments(true); }
void TFmMain::SpeedButton5Click() { FillAllSegments(false); }
