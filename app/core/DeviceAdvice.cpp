#include "DeviceAdvice.h"

#include <cerrno>

#include "CPort.h"

namespace varo {

std::string DeviceErrorAdvice(const DeviceFailure& f) {
  if (f.ComErrorCode == CError_OpenFailed) {
    if (f.SystemErrorCode == EBUSY || f.SystemErrorCode == EAGAIN)
      return "Port başka bir programda açık; o programı kapatın. Portu kimin tuttuğunu 'fuser -v " + f.Port +
             "' gösterir.";
    if (f.SystemErrorCode == EACCES || f.SystemErrorCode == EPERM)
      return "Bu portu açma izniniz yok; kullanıcınızı 'dialout' grubuna ekleyin (sudo usermod -aG dialout $USER) "
             "ve oturumu yeniden açın.";
  }
  if (f.ComErrorCode == CError_SetStateFailed && f.SystemErrorCode == ENOTTY)
    return f.Port + " bir seri port değil; göstergenin bağlı olduğu portu seçin.";
  if (f.ComErrorCode == CError_WriteFailed && f.ImageBytesWritten > 0)
    return "Hat yazma sırasında koptu: gösterge şimdi yarım bir görüntü tutuyor. Bağlantıyı denetleyip yeniden yazın.";
  return {};
}

std::string WithDeviceAdvice(const std::string& message, const DeviceFailure& failure) {
  const std::string advice = DeviceErrorAdvice(failure);
  return advice.empty() ? message : message + "\n" + advice;
}

}  // namespace varo
