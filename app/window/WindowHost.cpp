#include "window/WindowHost.h"

#include "window/UMain.h"

TWindowHost::TWindowHost(TFmMain& window) : TProjectHost(&window), Window_(window) { setObjectName("Host"); }

QWidget* TWindowHost::Window() { return &Window_; }
TDialogs& TWindowHost::Dialogs() { return Window_.Dialogs(); }
bool TWindowHost::InSetupMode() const { return Window_.InSetupMode(); }
varo::ProjectState TWindowHost::Project() const { return Window_.ProjectSnapshot(); }
int TWindowHost::CurrentFrame() const { return Window_.CurrentFrame; }
void TWindowHost::SetFrames(std::vector<varo::SegmentPattern> frames) { Window_.SetFrames(std::move(frames)); }
void TWindowHost::ShowFrame(int index) { Window_.ShowFrame(index); }
void TWindowHost::RestoreProject(const varo::ProjectState& state, bool saved) { Window_.RestoreProject(state, saved); }
