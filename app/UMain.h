#pragma once
// Unit UMain: the main window FmMain and the project state it owns.
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "Dialogs.h"
#include "Pause.h"
#include "core/SegmentPattern.h"
#include "ui_UMain.h"

class TKeyPreview;

// Window titles.
extern const char* const MainTitle;  // "VARO PROGRAMLAYICI"

class TFmMain : public QWidget, public Ui::FmMain {
  Q_OBJECT
 public:
  explicit TFmMain(QWidget* parent = nullptr);
  ~TFmMain() override;

  // Project state. In editing mode FrameTable has FrameCount entries; while
  // the floor-range panel is open the lists may already have changed
  // FrameCount, so readers bound themselves by FrameTable's size.
  std::vector<varo::SegmentPattern> FrameTable;
  uint8_t FrameCount = 0;
  uint8_t CurrentFrame = 0;
  int FirstFloor = 0;
  int LastFloor = 0;
  uint8_t CodeSystem = 1;
  bool Modified = false;
  uint8_t SavedFirstFloorIndex = 8;
  uint8_t SavedLastFloorIndex = 14;
  std::vector<uint8_t> RxImage;
  int RxCount = 0;

  // Seams: message boxes and file dialogs, and the pauses of device commands.
  TDialogs& Dialogs() { return *Dialogs_; }
  void SetDialogs(std::unique_ptr<TDialogs> dialogs) { Dialogs_ = std::move(dialogs); }
  void SetPause(TPause pause) { Pause_ = std::move(pause); }
  void Pause(int milliseconds) { Pause_(milliseconds); }

  bool InSetupMode() const;
  // Frames the user can step through: never more than FrameTable holds.
  int ShownFrameCount() const;

  // Paints FrameTable[index] onto the display picture; all dark when the
  // table holds no such entry.
  void PaintFrame(uint8_t index);
  void PaintSegment(int x, int y, bool lit);

 public slots:
  void FormCreate();
  void FormShow();
  void ilkkatClick();
  void sonkatClick();
  void UpBtnClick();
  void DownBtnClick();
  // Every key press inside the window, before the focused control gets it.
  void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void EnterSetupMode();
  void EnterEditingMode();
  void SetSetupControls(bool setup);
  void ShowFrameCounter();
  void FillDefaultFrames();

  std::unique_ptr<TDialogs> Dialogs_;
  TPause Pause_ = RealPause;
  TKeyPreview* KeyPreview_ = nullptr;
  bool Shown_ = false;
};
