// Verify after writing: the image read back straight from the port and
// compared with what was sent.
#include "window/UMain.h"
#include "shell/VaroApplication.h"
#include "core/ImageVerify.h"

void TFmMain::VerifyWrite(const varo::DeviceImage& sent) {
  SetReading(false);
  varo::DeviceImage readBack{};
  const varo::TTransfer got = DeviceLink().Read(readBack);
  if (got.End == varo::TTransferEnd::NoAnswer) return;
  if (ComPort1.Connected()) ComPort1.Close();
  const QString caption = QString::fromUtf8(ApplicationTitle);
  if (got.End != varo::TTransferEnd::Done) {
    Dialogs().ShowError(caption, QStringLiteral("Doğrulanamadı: cihaz 256 bayttan yalnız %1 bayt gönderdi.").arg(got.Bytes));
    return;
  }
  const std::vector<varo::TImageDifference> differences = varo::CompareImages(sent, readBack);
  const QString report = QString::fromStdString(varo::VerifyReport(sent, differences));
  if (differences.empty())
    Dialogs().ShowInfo(caption, report);
  else
    Dialogs().ShowError(caption, report);
}
