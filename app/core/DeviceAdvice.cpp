#include "DeviceAdvice.h"

#include "CPort.h"
#include "DeviceAdviceSystem.h"
#include "Translate.h"

namespace varo {

std::string DeviceErrorAdvice(const DeviceFailure& f) {
  if (f.ComErrorCode == CError_OpenFailed) return OpenFailureAdvice(f.SystemErrorCode, f.Port);
  if (f.ComErrorCode == CError_SetStateFailed && NoSerialLine(f.SystemErrorCode))
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
