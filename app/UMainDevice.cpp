// The device link: port discovery, the handshake, and the write and
// show-floor-numbers commands (the read is in UMainRead.cpp).
#include <QFile>

#include "CommandLock.h"
#include "UMain.h"
#include "VaroApplication.h"
#include "core/DeviceWrite.h"

namespace {

const char* const NoPortText = "Com Port Yok";
const char* const WarningCaption = "UYARI";
const char* const NoAnswerText = "Cihazla Bağlantı Kurulamadı...";
const char* const WriteDoneText = "Yazma İşlemi Tamamlandı...";

std::string LocalName(const QString& name) { return QFile::encodeName(name).toStdString(); }
QString ShownName(const std::string& path) { return QFile::decodeName(path.c_str()); }

// Why ports that are there are missing from the list.
QString RefusedPortsHint(const std::vector<std::string>& refused) {
  if (refused.empty()) return {};
  QStringList names;
  for (const std::string& path : refused) names << ShownName(path);
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
  ComPort1.SetBaudRate(br19200);
  ComPort1.SetDataBits(dbEight);
  ComPort1.Parity().SetBits(prNone);
  ComPort1.SetStopBits(sbOneStopBit);
  ComPort1.SetEvents(AllComEvents);
  TComFlowControl& flow = ComPort1.FlowControl();
  flow.SetOutCTSFlow(false);
  flow.SetOutDSRFlow(false);
  flow.SetControlDTR(dtrDisable);
  flow.SetControlRTS(rtsDisable);
  flow.SetXonXoffOut(false);
  flow.SetXonXoffIn(false);
  ComPort1.SetSyncMethod(smThreadSync);
}

bool TFmMain::PortAvailable(const QString& name) { return PortProbe_(LocalName(name)) == 0; }

void TFmMain::ComRefreshClick() {
  comport->clear();
  const varo::PortScan scan = varo::ScanPorts(varo::SerialDevices(DeviceRoot_), PortProbe_);
  for (const std::string& path : scan.Free) comport->addItem(ShownName(path));
  comport->setToolTip(RefusedPortsHint(scan.Refused));
  if (scan.Free.empty()) {
    comport->addItem(NoPortText);
    comport->setCurrentIndex(0);
    return;
  }
  ComPort1.SetPort(scan.Free.front());
  comport->setCurrentIndex(0);
}

void TFmMain::TypePortName(const QString& name) { comport->setEditText(name); }

bool TFmMain::ConnectDevice() {
  // What the indicator says from now on answers this command, not an earlier read.
  SetReading(false);
  for (;;) {
    if (CommandStopped()) return false;
    ProgressBar1->setValue(0);
    ComPort1.SetPort(LocalName(comport->currentText()));
    // A line that hung up (adapter pulled, indicator restarted) would refuse
    // every write; open it afresh under the same name.
    if (ComPort1.Connected() && varo::LineHungUp(ComPort1.Handle())) ComPort1.Close();
    if (!ComPort1.Connected()) ComPort1.Open();
    ComPort1.WriteString("y");
    Pause(varo::AnswerPauseMs);
    if (CommandStopped()) return false;
    std::string answer;
    ComPort1.ReadString(answer, 1);
    if (answer == "E") break;
    ProgressBar1->setValue(0);
    if (Dialogs().AskRetryCancel(WarningCaption, QString::fromUtf8(NoAnswerText)) != TDialogs::TAnswer::Retry) {
      if (ComPort1.Connected()) ComPort1.Close();
      return false;
    }
  }
  // Serves the port events handed over meanwhile (the "E" is already taken).
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  ComPort1.SetPort(LocalName(comport->currentText()));
  if (!ComPort1.Connected()) ComPort1.Open();
  return true;
}

void TFmMain::SendImageByte(uint8_t value) {
  if (CommandStopped()) return;
  ComPort1.Write(&value, 1);
  Pause(varo::BytePauseMs);
  ProgressBar1->setValue(ProgressBar1->value() + 1);
}

void TFmMain::BtnWriteClick() {
  TDeviceCommand command(*CommandLock_);
  if (!command) return;
  Pause(varo::CommandPauseMs);
  if (!ConnectDevice()) return;
  Pause(varo::CommandPauseMs);
  const varo::DeviceImage image = BuildDeviceImage(varo::CodeSystemForm::Device);
  ComPort1.WriteString("w");
  ProgressBar1->setValue(0);
  for (const varo::WriteRun& run : varo::DeviceWriteRuns(image)) {
    for (int position = run.Begin; position < run.End; ++position) SendImageByte(image[position]);
    if (run.PauseAfterMs > 0) Pause(run.PauseAfterMs);
  }
  if (ComPort1.Connected()) ComPort1.Close();
  if (CommandStopped()) return;
  Dialogs().ShowInfo(QString::fromUtf8(ApplicationTitle), QString::fromUtf8(WriteDoneText));
  ProgressBar1->setValue(0);
}

void TFmMain::SpeedButton18Click() {
  TDeviceCommand command(*CommandLock_);
  if (!command) return;
  if (!ConnectDevice()) return;
  Pause(varo::ShowFloorsPauseMs);
  if (CommandStopped()) return;
  ComPort1.WriteString("s");
}
