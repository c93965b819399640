// The device link: port discovery, the handshake, and the write and
// show-floor-numbers commands (the read is in UMainRead.cpp).
#include "shell/CommandLock.h"
#include "window/UMain.h"
#include "shell/NativePath.h"
#include "shell/VaroApplication.h"
#include "core/DeviceAdvice.h"

namespace {

const char* const NoPortText = "Com Port Yok";
const char* const WarningCaption = "UYARI";

// Why ports that are there are missing from the list.
QString RefusedPortsHint(const std::string& root, const std::vector<std::string>& refused) {
  if (refused.empty()) return {};
  QStringList names;
  for (const std::string& path : refused) names << ShownPath(varo::ShownDevicePath(root, path));
  const QString group = QString::fromStdString(varo::DeviceGroup(refused.front()));
  return QStringLiteral(
             "Bu portları açma izniniz yok: %1\n"
             "Kullanıcınızı '%2' grubuna ekleyin (sudo usermod -aG %2 $USER) ve oturumu yeniden açın.")
      .arg(names.join(", "), group);
}

}  // namespace

void TFmMain::SetUpComPort() {
  ComPort1.SetName("ComPort1");
  ComPort1.SetPort("COM1");
  varo::SetIndicatorLine(ComPort1);
  ComPort1.SetEvents(AllComEvents);
  ComPort1.SetSyncMethod(smThreadSync);
}

bool TFmMain::PortAvailable(const QString& name) { return PortProbe_(NativePath(name)) == 0; }

void TFmMain::ComRefreshClick() {
  comport->clear();
  const varo::PortScan scan = varo::ScanPorts(varo::SerialDevices(DeviceRoot_), PortProbe_);
  // The list shows each port by its name on the machine; the item keeps the path that opens it.
  for (const std::string& path : scan.Free)
    comport->addItem(ShownPath(varo::ShownDevicePath(DeviceRoot_, path)), ShownPath(path));
  comport->setToolTip(RefusedPortsHint(DeviceRoot_, scan.Refused));
  if (scan.Free.empty()) {
    comport->addItem(NoPortText);
    comport->setCurrentIndex(0);
    return;
  }
  ComPort1.SetPort(scan.Free.front());
  comport->setCurrentIndex(0);
}

void TFmMain::TypePortName(const QString& name) { comport->setEditText(name); }

std::string TFmMain::PortPath() const {
  const int listed = comport->findText(comport->currentText(), Qt::MatchExactly);
  const QVariant path = listed >= 0 ? comport->itemData(listed) : QVariant();
  return NativePath(path.isValid() ? path.toString() : comport->currentText());
}

varo::TDeviceLink TFmMain::DeviceLink() {
  varo::TDeviceHooks hooks;
  hooks.Pause = [this](int ms) { Pause(ms); };
  hooks.PortName = [this] { return PortPath(); };
  hooks.Progress = [this](int value) { ProgressBar1->setValue(value); };
  hooks.RetryAfterNoAnswer = [this] {
    return Dialogs().AskRetryCancel(WarningCaption, QString::fromUtf8(varo::NoAnswerText)) == TDialogs::TAnswer::Retry;
  };
  // Serves the port events handed over meanwhile (the "E" is already taken).
  hooks.AfterAnswer = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  hooks.StopRequested = [this] { return CommandStopped(); };
  return varo::TDeviceLink(ComPort1, std::move(hooks));
}

bool TFmMain::ConnectDevice() {
  // What the indicator says from now on answers this command, not an earlier read.
  SetReading(false);
  return DeviceLink().Connect();
}

void TFmMain::AdviseOnFailure(bool writing, const std::function<void()>& command) {
  try {
    command();
  } catch (const EComPort& e) {
    const varo::DeviceFailure failure{e.ComErrorCode(), e.SystemErrorCode(), PortPath(),
                                      writing ? ProgressBar1->value() : 0};
    const std::string advice = varo::DeviceErrorAdvice(failure);
    if (advice.empty()) throw;
    throw EDeviceCommandFailed(e.Message() + "\n" + advice);
  }
}

void TFmMain::BtnWriteClick() {
  // The keys of a write stand for YAZ, which the floor-range panel disables.
  if (InSetupMode()) return;
  TDeviceCommand command(*CommandLock_);
  if (!command) return;
  SetReading(false);
  const varo::DeviceImage image = BuildDeviceImage(varo::CodeSystemForm::Device);
  bool done = false;
  AdviseOnFailure(true, [&] { done = DeviceLink().Write(image).End == varo::TTransferEnd::Done; });
  if (!done) return;
  Dialogs().ShowInfo(QString::fromUtf8(ApplicationTitle), QString::fromUtf8(varo::WriteDoneText));
  if (VerifyCheckBox->isChecked()) AdviseOnFailure(false, [&] { VerifyWrite(image); });
  ProgressBar1->setValue(0);
}

void TFmMain::SpeedButton18Click() {
  TDeviceCommand command(*CommandLock_);
  if (!command) return;
  SetReading(false);
  AdviseOnFailure(false, [&] { DeviceLink().ShowFloors(); });
}
