#pragma once
// What a technician can do about a failure of the port during a device
// command: one line, in the user's language, put after the serial component's own message.
#include <string>

namespace varo {

struct DeviceFailure {
  int ComErrorCode;
  int SystemErrorCode;
  std::string Port;
  // Image bytes a write had sent when it failed; 0 for any other command.
  int ImageBytesWritten = 0;
};

// The advice line; empty when there is none to give.
std::string DeviceErrorAdvice(const DeviceFailure& failure);

// The component's message, and the advice on a line of its own when there is one.
std::string WithDeviceAdvice(const std::string& message, const DeviceFailure& failure);

}  // namespace varo
