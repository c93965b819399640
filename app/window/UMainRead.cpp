// The device read: "OKU" asks the indicator for its image, and the hidden
// terminal hands over its answer one character at a time.
#include <QPointer>
#include <QTimer>
#include <algorithm>

#include "shell/CommandLock.h"
#include "window/ImageRefusal.h"
#include "shell/SerialHooks.h"
#include "window/UMain.h"
#include "shell/VaroApplication.h"
#include "core/DeviceWrite.h"
#include "core/ErrorText.h"


void TFmMain::SetUpComTerminal() {
  ReadSilence_ = new QTimer(this);
  ReadSilence_->setObjectName("ReadSilence");
  ReadSilence_->setSingleShot(true);
  ReadSilence_->setInterval(varo::ReadSilenceMs);
  connect(ReadSilence_, &QTimer::timeout, this, &TFmMain::ReadFellSilent);
  ComTerminal1->SetEmulation(teVT100orANSI);
  ComTerminal1->SetColor(0x00000000);
  ComTerminal1->SetFontColor(0x00FFFFFF);
  ComTerminal1->SetScrollBars(ssBoth);
  ComTerminal1->SetComPort(&ComPort1);
  ComTerminal1->OnChar = [this](TObject* Sender, char Ch) { ComTerminal1Char(Sender, Ch); };
}

void TFmMain::BtnReadClick() {
  TDeviceCommand command(*CommandLock_);
  if (!command) return;
  bool sent = false;
  AdviseOnFailure(false, [&] {
    if (!ConnectDevice()) return;
    Pause(varo::CommandPauseMs);
    if (CommandStopped()) return;
    // No window message is handled from here on until the command returns.
    DeviceLink().Command('r');
    sent = true;
  });
  if (!sent) return;
  RxCount = 0;
  SetReading(true);
  ProgressBar1->setValue(0);
  ReadSilence_->start();
}

void TFmMain::ReadFellSilent() {
  if (!Reading_) return;
  SetReading(false);
  ProgressBar1->setValue(0);
  Dialogs().ShowError(QString::fromUtf8(ApplicationTitle),
                      QStringLiteral("Okunamadı: cihaz 256 bayttan yalnız %1 bayt gönderdi ve sustu; proje değişmedi.")
                          .arg(RxCount));
}

void TFmMain::SetReading(bool reading) {
  Reading_ = reading;
  if (!reading) ReadSilence_->stop();
  // An image may hold any byte: no escape sequence may swallow part of it,
  // nor make the terminal answer a query to the indicator mid-read. A new
  // parser afterwards also forgets a sequence begun before the read.
  ComTerminal1->SetEmulation(reading ? teNone : teVT100orANSI);
}

void TFmMain::ComTerminal1Char(TObject*, char Ch) {
  if (!Reading_ || RxCount >= static_cast<int>(RxImage.size())) return;
  RxImage[RxCount] = static_cast<uint8_t>(Ch);
  ++RxCount;
  ProgressBar1->setValue(RxCount);
  ReadSilence_->start();
  if (RxCount != varo::DeviceImageSize) return;
  SetReading(false);
  varo::DeviceImage image;
  std::copy(RxImage.begin(), RxImage.begin() + varo::DeviceImageSize, image.begin());
  varo::ProjectImage project;
  try {
    project = varo::DecodeDeviceImage(image, varo::CodeSystemForm::Device);
  } catch (const varo::EImageRefused& e) {
    // Inside the port's dispatch: a throw would end it without a word, and a
    // modal box would hold the event thread; the box shows once it is over.
    const QString text = QString::fromStdString(varo::WithFullStop(ReadRefusalText(e).toStdString()));
    QPointer<TFmMain> window(this);
    PostLoopCall([window, text] {
      if (window) window->Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), text);
    });
    return;
  }
  ApplyProjectImage(project, QString::fromUtf8(MainTitle));
}
