#pragma once
// The advice that depends on the system's reasons for a failed port (internal to app/core): a
// file per system, since the reasons and the remedies differ.
#include <string>

namespace varo {

// What to do when the port Port could not be opened for the system's error code; empty for none.
std::string OpenFailureAdvice(int code, const std::string& port);
// Whether the driver refused the line settings because the device is no serial line.
bool NoSerialLine(int code);

}  // namespace varo
