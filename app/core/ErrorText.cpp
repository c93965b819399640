#include "ErrorText.h"

namespace varo {

std::string WithFullStop(const std::string& message) {
  if (message.empty()) return message;
  // A UTF-8 letter ends in a byte of 0x80 or above, which comes after "." too.
  const unsigned char last = static_cast<unsigned char>(message.back());
  return last > '.' ? message + "." : message;
}

}  // namespace varo
