#include "core/DeviceAdviceSystem.h"

#include <windows.h>

#include "core/Translate.h"

namespace varo {

std::string OpenFailureAdvice(int code, const std::string& port) {
  switch (code) {
    // Windows lets one program at a time have a port, and says "access denied" to the next.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return Tr("Another program holds %1; close it (a terminal program, another programmer, a modem tool).", port);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return Tr("There is no %1 now: plug the USB adapter in and see in Device Manager, under \"Ports (COM & LPT)\", "
                "which COM number it has.",
                port);
    // What the driver of a pulled adapter, or one without its driver, answers.
    case ERROR_GEN_FAILURE:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_NOT_READY:
      return Tr("The adapter's driver does not answer for %1: plug the adapter in again, or install its driver "
                "(Device Manager shows a warning sign on it).",
                port);
    default: return {};
  }
}

bool NoSerialLine(int code) { return code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED; }

}  // namespace varo
