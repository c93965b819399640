#pragma once
// The window's side of TProjectHost: each call a step of the window's own.
#include "window/ProjectHost.h"

class TFmMain;

class TWindowHost : public TProjectHost {
  Q_OBJECT
 public:
  explicit TWindowHost(TFmMain& window);

  QWidget* Window() override;
  TDialogs& Dialogs() override;
  bool InSetupMode() const override;
  varo::ProjectState Project() const override;
  int CurrentFrame() const override;
  void SetFrames(std::vector<varo::SegmentPattern> frames) override;
  void ShowFrame(int index) override;
  void RestoreProject(const varo::ProjectState& state, bool saved) override;

 private:
  TFmMain& Window_;
};
