#include "DeviceAdvice.h"

#include <cerrno>

#include "CPort.h"
#include "Translate.h"

namespace varo {

std::string DeviceErrorAdvice(const DeviceFailure& f) {
  if (f.ComErrorCode == CError_OpenFailed) {
    if (f.SystemErrorCode == EBUSY || f.SystemErrorCode == EAGAIN)
      return Tr("Another program holds the port; close it. 'fuser -v %1' shows which one.", f.Port);
    if (f.SystemErrorCode == EACCES || f.SystemErrorCode == EPERM)
      return Tr("You may not open this port: add your user to the 'dialout' group (sudo usermod -aG dialout $USER) "
                "and log in again.");
  }
  if (f.ComErrorCode == CError_SetStateFailed && f.SystemErrorCode == ENOTTY)
    return Tr("%1 is no serial port: choose the port the indicator is connected to.", f.Port);
  if (f.ComErrorCode == CError_WriteFailed && f.ImageBytesWritten > 0)
    return Tr("The line was lost during the write: the indicator now holds a partial image. Check the connection "
              "and write again.");
  return {};
}

std::string WithDeviceAdvice(const std::string& message, const DeviceFailure& failure) {
  const std::string advice = DeviceErrorAdvice(failure);
  return advice.empty() ? message : message + "\n" + advice;
}

}  // namespace varo
