// Beyond the layout, for the technician: a label typed into the top row,
// labels for several floors at once, copy and paste of a frame's pattern,
// undo and redo of the frame table, the overview of every floor.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QToolButton>

#include "LabelValidator.h"
#include "Overview.h"
#include "SeveralFloorsDialog.h"
#include "UMain.h"
#include "VaroApplication.h"
#include "core/LabelFont.h"
#include "core/PatternText.h"

namespace {

const char* const PasteRefusedText =
    "Panodaki metin bir kat deseni değil; hiçbir şey değişmedi.\n"
    "Beklenen biçim: dört onaltılık bayt, örneğin \"00 00 FF 00\".";

}  // namespace

void TFmMain::SetUpEditorPlus() {
  LabelEdit = new QLineEdit(this);
  LabelEdit->setObjectName("LabelEdit");
  LabelEdit->setGeometry(458, 4, 40, 24);
  LabelEdit->setMaxLength(varo::MaxLabelLength);
  new TLabelValidator(varo::MaxLabelLength, LabelEdit);
  QFont font = LabelEdit->font();
  font.setBold(true);
  font.setPointSize(11);
  LabelEdit->setFont(font);
  LabelEdit->setAlignment(Qt::AlignRight);
  LabelEdit->setToolTip("ETİKET: en çok 2 karakter yazın, Enter ile kata verin");
  connect(LabelEdit, &QLineEdit::returnPressed, this, &TFmMain::LabelEditApply);

  OverviewButton = AddTopRowButton("OverviewButton", {504, 2, 27, 27}, "overview", "TÜM KATLAR (F2)");
  connect(OverviewButton, &QToolButton::clicked, this, &TFmMain::OverviewButtonClick);
  SeveralFloorsButton = AddTopRowButton("SeveralFloorsButton", {533, 2, 26, 27}, "labels",
                                        "ÇOK KATA ETİKET (eksi katlar ve 0. kat)");
  connect(SeveralFloorsButton, &QToolButton::clicked, this, &TFmMain::SeveralFloorsButtonClick);

  auto shortcut = [this](const QList<QKeySequence>& keys, void (TFmMain::*handler)()) {
    auto* action = new QAction(this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
  };
  shortcut({QKeySequence::Copy}, &TFmMain::CopyFrame);
  shortcut({QKeySequence::Paste}, &TFmMain::PasteFrame);
  shortcut({QKeySequence(Qt::CTRL | Qt::Key_Z)}, &TFmMain::UndoProject);
  shortcut({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
           &TFmMain::RedoProject);
  shortcut({QKeySequence(Qt::Key_F2)}, &TFmMain::OverviewButtonClick);
  SetUpSheet();
}

QToolButton* TFmMain::AddTopRowButton(const char* name, const QRect& geometry, const char* glyph,
                                      const char* tip) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setGeometry(geometry);
  button->setIcon(QIcon(QString(":/glyphs/%1.xpm").arg(glyph)));
  button->setIconSize(QSize(20, 19));
  button->setToolTip(QString::fromUtf8(tip));
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

void TFmMain::SeveralFloorsButtonClick() {
  TSeveralFloorsDialog dialog(TableRange_.FirstFloorIndex + varo::MinFloor, static_cast<int>(FrameTable.size()), this);
  if (dialog.exec() == QDialog::Accepted) LabelSeveralFloors(dialog.Labels());
}

void TFmMain::LabelSeveralFloors(const varo::SeveralFloorsLabels& labels) {
  std::vector<varo::SegmentPattern> labelled =
      varo::ApplySeveralFloorsLabels(FrameTable, TableRange_.FirstFloorIndex + varo::MinFloor, labels);
  if (labelled == FrameTable) return;
  FrameTable = std::move(labelled);
  Modified = true;
  PaintFrame(CurrentFrame);
  NoteProjectChange();
}

void TFmMain::OverviewButtonClick() {
  if (!Overview) {
    Overview = new TOverview(QImage(QStringLiteral(":/display.bmp")), this);
    connect(Overview, &TOverview::FrameClicked, this, &TFmMain::OverviewFrameClick);
  }
  RefreshOverview();
  Overview->show();
  Overview->raise();
}

void TFmMain::OverviewFrameClick(int index) {
  if (index < 0 || index >= ShownFrameCount()) return;
  CurrentFrame = static_cast<uint8_t>(index);
  PaintFrame(CurrentFrame);
  ShowFrameCounter();
}

void TFmMain::RefreshOverview() {
  if (Overview) Overview->SetFrames(FrameTable, TableRange_.FirstFloorIndex + varo::MinFloor, CurrentFrame);
}

varo::ProjectState TFmMain::ProjectSnapshot() const {
  return {FrameTable,  TableRange_.FirstFloorIndex, TableRange_.FrameCount,         TableRange_.LastFloorIndex,
          CodeSystem, CheckBox1->isChecked(),       windowTitle().toStdString()};
}

void TFmMain::NoteProjectChange() {
  History_.Note(ProjectSnapshot());
  RefreshOverview();
}

void TFmMain::SetCurrentFramePattern(const varo::SegmentPattern& pattern) {
  if (CurrentFrame >= FrameTable.size()) return;
  FrameTable[CurrentFrame] = pattern;
  Modified = true;
  PaintFrame(CurrentFrame);
  NoteProjectChange();
}

void TFmMain::LabelEditApply() {
  const QList<uint> ucs = LabelEdit->text().toUcs4();
  const std::u32string text(ucs.begin(), ucs.end());
  if (text.empty()) return;
  SetCurrentFramePattern(varo::LabelPattern(text));
}

void TFmMain::CopyFrame() {
  if (CurrentFrame >= FrameTable.size()) return;
  QGuiApplication::clipboard()->setText(QString::fromStdString(varo::PatternText(FrameTable[CurrentFrame])));
}

void TFmMain::PasteFrame() {
  const std::optional<varo::SegmentPattern> pattern =
      varo::ParsePatternText(QGuiApplication::clipboard()->text().toStdString());
  if (!pattern) {
    Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), QString::fromUtf8(PasteRefusedText));
    return;
  }
  SetCurrentFramePattern(*pattern);
}

void TFmMain::RestoreProject(const varo::ProjectState& state) {
  const varo::ProjectState before = ProjectSnapshot();
  SelectCodeSystem(state.CodeSystem);
  CheckBox1->setChecked(state.Buzzer);
  setWindowTitle(QString::fromStdString(state.Title));
  if (state.FirstFloorIndex != before.FirstFloorIndex || state.LastFloorIndex != before.LastFloorIndex ||
      state.FrameCount != before.FrameCount) {
    ilkkat->setCurrentIndex(state.FirstFloorIndex);
    ilkkatClick();
    sonkat->setCurrentIndex(state.LastFloorIndex);
    sonkatClick();
    FrameCount = state.FrameCount;
    TableRange_ = {state.FirstFloorIndex, state.FrameCount, state.LastFloorIndex};
  }
  FrameTable = state.Frames;
  const size_t changed = varo::FirstChangedFrame(before, state);
  CurrentFrame = static_cast<uint8_t>(changed < FrameTable.size() ? changed : 0);
  PaintFrame(CurrentFrame);
  ShowFrameCounter();
  // Back at what the file holds, the project is unmodified again.
  Modified = !History_.AtSaved();
}

// Not while the floor-range panel is shown: its lists and cancel stand for the range of the table.
void TFmMain::UndoProject() {
  if (InSetupMode()) return;
  if (const auto state = History_.Undo()) RestoreProject(*state);
}

void TFmMain::RedoProject() {
  if (InSetupMode()) return;
  if (const auto state = History_.Redo()) RestoreProject(*state);
}
