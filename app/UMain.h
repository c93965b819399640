#pragma once
// Unit UMain: the main window FmMain and the project state it owns.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "CPort.h"
#include "Dialogs.h"
#include "Pause.h"
#include "SerialHooks.h"
#include "core/DeviceImage.h"
#include "core/DeviceProtocol.h"
#include "core/ProjectHistory.h"
#include "core/SegmentPattern.h"
#include "core/SerialPorts.h"
#include "ui_UMain.h"

class TCommandLock;
class TKeyPreview;
class QLineEdit;
class QToolButton;
class TOverview;
class QPrinter;
class QTimer;
struct TSheet;
namespace varo {
struct SeveralFloorsLabels;
}

// Window titles.
extern const char* const MainTitle;  // "VARO PROGRAMLAYICI"

// A project file the window cannot show; the message names the file and the field.
class EProjectFileRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure of the port during a device command: the serial component's message, and on a line of
// its own what the technician can do about it.
class EDeviceCommandFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

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

  // The indicator's port, set up as the layout has it.
  TComPort ComPort1;

  // Seams: message boxes and file dialogs, and the pauses of device commands.
  TDialogs& Dialogs() { return *Dialogs_; }
  void SetDialogs(std::unique_ptr<TDialogs> dialogs) { Dialogs_ = std::move(dialogs); }
  void SetPause(TPause pause) { Pause_ = std::move(pause); }
  void Pause(int milliseconds) { Pause_(milliseconds); }
  // Seams of port discovery: the tree it reads (see varo::SerialDevices) and
  // the probe that tells whether a port can be opened now (an errno, 0 when it can).
  void SetDeviceRoot(const std::string& root) { DeviceRoot_ = root; }
  void SetPortProbe(varo::PortProbe probe) { PortProbe_ = std::move(probe); }
  // Held by every device command; see TDeviceCommand.
  TCommandLock& CommandLock() { return *CommandLock_; }

  bool InSetupMode() const;
  // Frames the user can step through: never more than FrameTable holds.
  int ShownFrameCount() const;

  // Paints FrameTable[index] onto the display picture; all dark when the
  // table holds no such entry.
  void PaintFrame(uint8_t index);
  void PaintSegment(int x, int y, bool lit);
  // Stores the picture into FrameTable[CurrentFrame].
  void CaptureFrame();

  // The project as 256 bytes. Never takes more frames than FrameTable holds;
  // while the floor-range panel is open it describes the table, not the panel.
  varo::DeviceImage BuildDeviceImage(varo::CodeSystemForm form) const;
  // Makes a decoded image the project (frames, range, code system, buzzer)
  // with its title, shows frame 0 and clears Modified: one undo step, and the
  // state an undo back to it finds unmodified.
  void ApplyProjectImage(const varo::ProjectImage& image, const QString& title);
  // Sets CodeSystem, the list on the panel and the status text.
  void SelectCodeSystem(uint8_t index);

  // Device link.
  bool PortAvailable(const QString& name);
  // Opens the port named in comport and checks that an indicator answers;
  // true leaves the port open.
  bool ConnectDevice();
  // Puts a port name into comport as if the user had typed it.
  void TypePortName(const QString& name);
  // OnChar of ComTerminal1: the next character of the image being read. At
  // the 256th the image becomes the project, or is refused with a message and
  // changes nothing. Characters while no read is under way are dropped.
  void ComTerminal1Char(TObject* Sender, char Ch);

 public slots:
  void FormCreate();
  void FormShow();
  void ilkkatClick();
  void sonkatClick();
  void UpBtnClick();
  void DownBtnClick();
  // Every key press inside the window, before the focused control gets it.
  void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);

  // Floor-range panel and code system.
  void SpeedButton1Click();
  void BitBtn1Click();
  void BitBtn2Click();
  void PopupMenu1Popup();
  void GRAY1Click();
  void BINARY1Click();
  void SAYICI111Click();
  void SAYICI21Click();
  void N7SEGMENT1Click();

  // Segment editing.
  void Image1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void Image1MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void SpeedButton4Click();
  void SpeedButton5Click();

  // Project file.
  void SpeedButton3Click();
  void SpeedButton2Click();
  void FormCloseQuery(bool& CanClose);

  // Device link.
  void ComRefreshClick();
  void BtnWriteClick();
  void BtnReadClick();
  void SpeedButton18Click();

 public:
  // Editor extras: the label box of the top row, copy and paste of the
  // current frame (Ctrl+C, Ctrl+V), undo and redo of the whole project
  // (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z) in editing mode.
  QLineEdit* LabelEdit = nullptr;
  void LabelEditApply();
  void CopyFrame();
  void PasteFrame();
  void UndoProject();
  void RedoProject();
  // "TÜM KATLAR" (F2): the overview window, following every change.
  QToolButton* OverviewButton = nullptr;
  TOverview* Overview = nullptr;
  void OverviewButtonClick();
  void OverviewFrameClick(int index);
  void RefreshOverview();
  // "ÇOK KATA ETİKET": a label for every floor below 0 and one for floor 0, in one step.
  QToolButton* SeveralFloorsButton = nullptr;
  void SeveralFloorsButtonClick();
  void LabelSeveralFloors(const varo::SeveralFloorsLabels& labels);
  // The project sheet ("KAT SAYFASI" menu): an A4 page as PDF, as PNG, or printed (Ctrl+P).
  QToolButton* SheetButton = nullptr;
  void SaveSheetPdf();
  void SaveSheetPng();
  void PrintSheet();
  // Seam: the system's print dialog; false when the user cancels it.
  using TPrintDialog = std::function<bool(QPrinter&)>;
  void SetPrintDialog(TPrintDialog dialog) { PrintDialog_ = std::move(dialog); }

 private:
  void SetUpEditorPlus();
  // A tool button with a 20 x 19 glyph from resources/glyphs, in the free space of the top row.
  QToolButton* AddTopRowButton(const char* name, const QRect& geometry, const char* glyph, const char* tip);
  varo::ProjectState ProjectSnapshot() const;
  // After every change of the project (frames, range, code system, buzzer): one undo step.
  void NoteProjectChange();
  void SetCurrentFramePattern(const varo::SegmentPattern& pattern);
  void RestoreProject(const varo::ProjectState& state);
  varo::ProjectHistory History_;
  void SetUpSheet();
  TSheet CurrentSheet() const;
  TPrintDialog PrintDialog_;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void EnterSetupMode();
  void EnterEditingMode();
  void SetSetupControls(bool setup);
  void ShowFrameCounter();
  void FillDefaultFrames();
  void ShowStatusBarMenu(const QPoint& at);
  // The status bar menu's choice: SelectCodeSystem, and an undo step.
  void ChooseCodeSystem(uint8_t index);
  void FillAllSegments(bool lit);
  // Asks for a file name and saves; false when the dialog was cancelled.
  bool SaveProject();
  void SetUpComPort();
  void SetUpComTerminal();

  // The device link with this window's pauses, port box, progress bar and Retry/Cancel box.
  varo::TDeviceLink DeviceLink();
  // Runs a device command's steps; a failure of the port a technician can act on is raised again
  // as EDeviceCommandFailed with the advice, others as they are.
  void AdviseOnFailure(bool writing, const std::function<void()>& command);
  // Verify after writing (VerifyCheckBox ticked): reads the image back once the
  // completion message is closed and shows "Doğrulandı" or what differs.
  void VerifyWrite(const varo::DeviceImage& sent);

  // The floor range the frame table was built for (bytes 244, 245, 247).
  struct TTableRange {
    uint8_t FirstFloorIndex = 8;
    uint8_t FrameCount = 16;
    uint8_t LastFloorIndex = 14;
  };
  void RememberTableRange();
  TTableRange TableRange_;

  std::unique_ptr<TDialogs> Dialogs_;
  TPause Pause_;  // RealPause, ended early by a close
  TKeyPreview* KeyPreview_ = nullptr;
  TCommandLock* CommandLock_ = nullptr;
  TSerialHooks SerialHooks_;
  std::string DeviceRoot_ = varo::DefaultDeviceRoot();
  varo::PortProbe PortProbe_ = varo::ProbePort;
  bool Shown_ = false;
  // From "r" sent to the 256th character; any handshake ends it, and so does a second
  // (ReadSilenceMs) without a character, which tells the user how much came.
  bool Reading_ = false;
  QTimer* ReadSilence_ = nullptr;
  void ReadFellSilent();

  // A device command under way: reading and stopping it.
  // While reading the terminal passes every byte on and answers nothing.
  void SetReading(bool reading);
  // The window was closed during the command: it sends nothing more.
  bool CommandStopped() const;
};
