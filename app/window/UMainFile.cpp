// The project file: save, open and the question when the window closes.
#include <QCloseEvent>

#include "window/ImageRefusal.h"
#include "shell/NativePath.h"
#include "window/UMain.h"
#include "core/ProjectFile.h"

namespace {

const char* const FileFilter = "VARO Dosyası (*.vrd)";
const char* const SaveQuestion = "Ayarlarınız Kaydedilsin mi?";

TDialogs::TFileDialog SaveDialog1() { return {"Ayar Kaydet", QString::fromUtf8(FileFilter), "vrd"}; }
TDialogs::TFileDialog OpenDialog1() { return {"Ayar Aç", QString::fromUtf8(FileFilter), "vrd"}; }

}  // namespace

varo::DeviceImage TFmMain::BuildDeviceImage(varo::CodeSystemForm form) const {
  varo::ProjectImage p;
  p.Frames = FrameTable;
  p.CodeSystem = CodeSystem;
  p.Buzzer = CheckBox1->isChecked();
  if (!InSetupMode() && FrameCount == FrameTable.size()) {
    p.FirstFloorIndex = static_cast<uint8_t>(ilkkat->currentIndex());
    p.FrameCount = FrameCount;
    p.LastFloorIndex = static_cast<uint8_t>(sonkat->currentIndex());
  } else {
    p.FirstFloorIndex = TableRange_.FirstFloorIndex;
    p.FrameCount = TableRange_.FrameCount;
    p.LastFloorIndex = TableRange_.LastFloorIndex;
  }
  return varo::EncodeDeviceImage(p, form);
}

void TFmMain::ApplyProjectImage(const varo::ProjectImage& image, const QString& title) {
  ilkkat->setCurrentIndex(image.FirstFloorIndex);
  ilkkatClick();
  sonkat->setCurrentIndex(image.LastFloorIndex);
  sonkatClick();
  FrameCount = image.FrameCount;
  CheckBox1->setChecked(image.Buzzer);
  SelectCodeSystem(*image.CodeSystem);
  FrameTable = image.Frames;
  TableRange_ = {image.FirstFloorIndex, image.FrameCount, image.LastFloorIndex};
  // Opened or read while the panel is shown, this is the range its cancel must come back to.
  SavedFirstFloorIndex = image.FirstFloorIndex;
  SavedLastFloorIndex = image.LastFloorIndex;
  CurrentFrame = 0;
  PaintFrame(CurrentFrame);
  ShowFrameCounter();
  setWindowTitle(title);
  Modified = false;
  NoteProjectChange();
  NoteProjectSaved();
}

bool TFmMain::SaveProject() {
  const std::optional<QString> path = Dialogs().ChooseSaveFile(SaveDialog1());
  if (!path) return false;
  varo::WriteProjectFile(NativePath(*path), BuildDeviceImage(varo::CodeSystemForm::File));
  setWindowTitle(QString::fromUtf8(MainTitle) + " - " + QDir::toNativeSeparators(*path));
  Modified = false;
  NoteProjectSaved();
  return true;
}

void TFmMain::SpeedButton3Click() { SaveProject(); }

void TFmMain::SpeedButton2Click() {
  if (Modified) {
    switch (Dialogs().AskYesNoCancel("VARO", QString::fromUtf8(SaveQuestion))) {
      case TDialogs::TAnswer::Yes:
        // No file chosen after "Evet": going on would lose the work it was meant to keep.
        if (!SaveProject()) return;
        break;
      case TDialogs::TAnswer::No: break;
      default: return;
    }
  }
  const std::optional<QString> path = Dialogs().ChooseOpenFile(OpenDialog1());
  if (!path) return;
  OpenProjectFile(*path);
}

void TFmMain::OpenProjectFile(const QString& path) {
  const varo::DeviceImage bytes = varo::ReadProjectFile(NativePath(path));
  varo::ProjectImage image;
  try {
    image = varo::DecodeDeviceImage(bytes, varo::CodeSystemForm::File);
  } catch (const varo::EImageRefused& e) {
    throw EProjectFileRefused(ProjectFileRefusalText(QDir::toNativeSeparators(path), e).toStdString());
  }
  ApplyProjectImage(image, QString::fromUtf8(MainTitle) + " - " + QDir::toNativeSeparators(path));
}

void TFmMain::FormCloseQuery(bool& CanClose) {
  CanClose = true;
  if (!Modified) return;
  switch (Dialogs().AskYesNoCancel("VARO", QString::fromUtf8(SaveQuestion))) {
    case TDialogs::TAnswer::Yes: CanClose = SaveProject(); break;
    case TDialogs::TAnswer::No: break;
    default: CanClose = false;
  }
}

void TFmMain::closeEvent(QCloseEvent* event) {
  // A save that fails throws past this point and leaves the window open.
  event->ignore();
  bool canClose = true;
  FormCloseQuery(canClose);
  if (canClose) event->accept();
}
