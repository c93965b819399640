#pragma once
// Unit UMain: the main window FmMain and the project state it owns.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "CPort.h"
#include "core/DeviceImage.h"
#include "core/DeviceProtocol.h"
#include "core/ProjectHistory.h"
#include "core/SegmentPattern.h"
#include "core/SerialPorts.h"
#include "shell/Dialogs.h"
#include "shell/Pause.h"
#include "shell/SerialHooks.h"
#include "ui_UMain.h"

class TCommandLock;
class TKeyPreview;
class TProjectHost;
class TWindowHost;
class QTimer;

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
  // What the extra features (label box, overview, sheet, undo ...) see of the window (window/ProjectHost.h); they are its children.
  TProjectHost& Host();

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
  // with its title, shows frame 0 and clears Modified: one change, and the
  // state an undo back to it finds unmodified.
  void ApplyProjectImage(const varo::ProjectImage& image, const QString& title);
  // Sets CodeSystem, the list on the panel and the status text.
  void SelectCodeSystem(uint8_t index);
  // The project file at `path` becomes the project, as "AYAR AÇ" makes the file chosen; a file
  // that cannot be read or shown raises its message and changes nothing.
  void OpenProjectFile(const QString& path);

  // Device link.
  bool PortAvailable(const QString& name);
  // Opens the port named in comport and checks that an indicator answers;
  // true leaves the port open.
  bool ConnectDevice();
  // Puts a port name into comport as if the user had typed it.
  void TypePortName(const QString& name);
  // The device the port box names: a listed port's path, or the text typed.
  std::string PortPath() const;
  // OnChar of ComTerminal1: the next character of the image being read. At
  // the 256th the image becomes the project, or is refused with a message and
  // changes nothing. Characters while no read is under way are dropped.
  void ComTerminal1Char(TObject* Sender, char Ch);

  // Event handlers.
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

 private:
  // The host reaches the project state and the steps below on the features' behalf.
  friend class TWindowHost;

  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

  void EnterSetupMode();
  void EnterEditingMode();
  void SetSetupControls(bool setup);
  void ShowFrameCounter();
  void FillDefaultFrames();
  void ShowStatusBarMenu(const QPoint& at);
  // The status bar menu's choice: SelectCodeSystem, and a change of the project.
  void ChooseCodeSystem(uint8_t index);
  void FillAllSegments(bool lit);
  // Asks for a file name and saves; false when the dialog was cancelled.
  bool SaveProject();
  void SetUpComPort();
  void SetUpComTerminal();

  // The project with the window's title, as the features see it.
  varo::ProjectState ProjectSnapshot() const;
  // After every change of the project (frames, range, code system, buzzer, title).
  void NoteProjectChange();
  // The project is what its file or the indicator holds now.
  void NoteProjectSaved();
  // New patterns for the table's frames (a label, a paste): an unsaved change.
  void SetFrames(std::vector<varo::SegmentPattern> frames);
  void ShowFrame(int index);
  // An undo or a redo: the whole project and its title, unmodified when `saved`.
  void RestoreProject(const varo::ProjectState& state, bool saved);

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
  TWindowHost* Host_ = nullptr;
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
