#include "window/UMain.h"

#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "features/Features.h"
#include "shell/CommandLock.h"
#include "shell/KeyPreview.h"
#include "core/CodeSystems.h"
#include "core/DisplayPicture.h"
#include "core/FloorLists.h"
#include "window/WindowHost.h"

const char* const MainTitle = "VARO PROGRAMLAYICI";

namespace {
int Number(const QComboBox* list) { return list->currentText().toInt(); }
}  // namespace

TFmMain::TFmMain(QWidget* parent) : QWidget(parent), Dialogs_(std::make_unique<TQtDialogs>(this)) {
  setupUi(this);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFixedSize(588, 418);
  StatusBar1->SetPanelText(0, QString::fromUtf8(varo::CodeSystems[CodeSystem].StatusText));

  connect(ilkkat, &QComboBox::activated, this, &TFmMain::ilkkatClick);
  connect(sonkat, &QComboBox::activated, this, &TFmMain::sonkatClick);
  connect(UpBtn, &QToolButton::clicked, this, &TFmMain::UpBtnClick);
  connect(DownBtn, &QToolButton::clicked, this, &TFmMain::DownBtnClick);
  connect(SpeedButton1, &QToolButton::clicked, this, &TFmMain::SpeedButton1Click);
  connect(SpeedButton2, &QToolButton::clicked, this, &TFmMain::SpeedButton2Click);
  connect(SpeedButton3, &QToolButton::clicked, this, &TFmMain::SpeedButton3Click);
  connect(SpeedButton4, &QToolButton::clicked, this, &TFmMain::SpeedButton4Click);
  connect(SpeedButton5, &QToolButton::clicked, this, &TFmMain::SpeedButton5Click);
  connect(BitBtn1, &QPushButton::clicked, this, &TFmMain::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TFmMain::BitBtn2Click);
  connect(Image1, &TDisplayImage::MouseDown, this, &TFmMain::Image1MouseDown);
  connect(Image1, &TDisplayImage::MouseUp, this, &TFmMain::Image1MouseUp);
  connect(StatusBar1, &QWidget::customContextMenuRequested, this, &TFmMain::ShowStatusBarMenu);
  connect(PopupMenu1, &QMenu::aboutToShow, this, &TFmMain::PopupMenu1Popup);
  connect(GRAY1, &QAction::triggered, this, &TFmMain::GRAY1Click);
  connect(BINARY1, &QAction::triggered, this, &TFmMain::BINARY1Click);
  connect(SAYICI111, &QAction::triggered, this, &TFmMain::SAYICI111Click);
  connect(SAYICI21, &QAction::triggered, this, &TFmMain::SAYICI21Click);
  connect(N7SEGMENT1, &QAction::triggered, this, &TFmMain::N7SEGMENT1Click);
  connect(ComRefresh, &QPushButton::clicked, this, &TFmMain::ComRefreshClick);
  connect(BtnWrite, &QToolButton::clicked, this, &TFmMain::BtnWriteClick);
  connect(BtnRead, &QToolButton::clicked, this, &TFmMain::BtnReadClick);
  connect(SpeedButton18, &QToolButton::clicked, this, &TFmMain::SpeedButton18Click);
  // Ticking the buzzer is part of the project an undo brings back.
  connect(CheckBox1, &QCheckBox::clicked, this, [this] { NoteProjectChange(); });
  KeyPreview_ = new TKeyPreview(this, [this](int key, Qt::KeyboardModifiers m) { FormKeyDown(key, m); });
  CommandLock_ = new TCommandLock(this);
  Pause_ = [this](int ms) { RealPause(ms, [this] { return CommandStopped(); }); };
  // A command stopped by closing the window lets the port go at once.
  CommandLock_->OnStopped = [this] {
    if (ComPort1.Connected()) ComPort1.Close();
  };
  SetUpComPort();
  SetUpComTerminal();
  Host_ = new TWindowHost(*this);
  InstallFeatures(*Host_);

  FormCreate();
}

TFmMain::~TFmMain() {
  // Closing serves the hand-overs still waiting; they may need the whole window.
  try {
    ComPort1.Close();
  } catch (...) {
    // The port object lets the device go in any case.
  }
}

bool TFmMain::CommandStopped() const { return CommandLock_->Stopping(); }

void TFmMain::FormCreate() {
  // Qt widgets are double-buffered already.
  ComRefreshClick();
  SavedFirstFloorIndex = 8;
  SavedLastFloorIndex = 14;
  CodeSystem = 1;
  Modified = false;
  RxImage.assign(256, 0);
  CheckBox1->setChecked(false);
  RxCount = 0;
}

void TFmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (Shown_ || event->spontaneous()) return;
  Shown_ = true;
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  FormShow();
}

void TFmMain::FormShow() {
  ilkkatClick();
  sonkatClick();
  EnterSetupMode();
  FillDefaultFrames();
  RememberTableRange();
  NoteProjectSaved();
  CurrentFrame = 0;
  PaintFrame(CurrentFrame);
  ShowFrameCounter();
}

void TFmMain::RememberTableRange() {
  TableRange_ = {static_cast<uint8_t>(ilkkat->currentIndex()), FrameCount, static_cast<uint8_t>(sonkat->currentIndex())};
}

void TFmMain::FillDefaultFrames() {
  FrameTable.resize(FrameCount);
  for (int i = 0; i < FrameCount; ++i) FrameTable[i] = varo::FloorPattern(FirstFloor + i);
}

bool TFmMain::InSetupMode() const { return !Panel2->isHidden(); }

void TFmMain::SetSetupControls(bool setup) {
  Panel2->setVisible(setup);
  for (QWidget* w : {static_cast<QWidget*>(Panel13), static_cast<QWidget*>(Panel1), static_cast<QWidget*>(Panel4),
                     static_cast<QWidget*>(StatusBar1), static_cast<QWidget*>(CheckBox1)})
    w->setEnabled(!setup);
}

void TFmMain::EnterSetupMode() { SetSetupControls(true); }
void TFmMain::EnterEditingMode() { SetSetupControls(false); }

void TFmMain::ilkkatClick() {
  FirstFloor = Number(ilkkat);
  bool ok = false;
  const int last = sonkat->currentText().toInt(&ok);
  if (ok) LastFloor = last;
  const std::vector<int> floors = varo::LastFloorList(FirstFloor);
  sonkat->clear();
  for (int f : floors) sonkat->addItem(QString::number(f));
  sonkat->setCurrentIndex(varo::ReselectIndex(floors, LastFloor));
  FrameCount = varo::FrameCountOf(FirstFloor, Number(sonkat));
}

void TFmMain::sonkatClick() { FrameCount = varo::FrameCountOf(Number(ilkkat), Number(sonkat)); }

int TFmMain::ShownFrameCount() const { return std::min<int>(FrameCount, static_cast<int>(FrameTable.size())); }

void TFmMain::UpBtnClick() {
  if (CurrentFrame + 1 >= ShownFrameCount()) return;
  ++CurrentFrame;
  PaintFrame(CurrentFrame);
  ShowFrameCounter();
}

void TFmMain::DownBtnClick() {
  if (CurrentFrame == 0) return;
  --CurrentFrame;
  PaintFrame(CurrentFrame);
  ShowFrameCounter();
}

void TFmMain::FormKeyDown(int Key, Qt::KeyboardModifiers) {
  // The keys stand for buttons the floor-range panel disables.
  if (InSetupMode()) return;
  if (Key == Qt::Key_PageUp) UpBtnClick();
  if (Key == Qt::Key_PageDown) DownBtnClick();
  if (Key == Qt::Key_F9) BtnWriteClick();
}

void TFmMain::ShowFrameCounter() {
  StaticText1->setText(QStringLiteral("FRAME : %1").arg(CurrentFrame));
  emit Host_->FrameShown();
}

void TFmMain::PaintFrame(uint8_t index) {
  const varo::SegmentPattern pattern = index < FrameTable.size() ? FrameTable[index] : varo::SegmentPattern{};
  varo::PaintFrame(Image1->View(), pattern);
  Image1->update();
}

void TFmMain::PaintSegment(int x, int y, bool lit) {
  varo::PaintSegment(Image1->View(), {x, y}, lit);
  Image1->update();
}
