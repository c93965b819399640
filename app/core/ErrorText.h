#pragma once
#include <string>

namespace varo {

// The error display's rule: a message whose last character comes after "." in
// character order gets a full stop; ")" and "!" endings stay as they are.
std::string WithFullStop(const std::string& message);

}  // namespace varo
