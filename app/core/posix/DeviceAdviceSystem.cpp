#include "core/DeviceAdviceSystem.h"

#include <cerrno>

#include "core/Translate.h"

namespace varo {

std::string OpenFailureAdvice(int code, const std::string& port) {
  if (code == EBUSY || code == EAGAIN)
    return Tr("Another program holds the port; close it. 'fuser -v %1' shows which one.", port);
  if (code == EACCES || code == EPERM)
    return Tr("You may not open this port: add your user to the 'dialout' group (sudo usermod -aG dialout $USER) "
              "and log in again.");
  return {};
}

bool NoSerialLine(int code) { return code == ENOTTY; }

}  // namespace varo
