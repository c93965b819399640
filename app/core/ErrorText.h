#pragma once
#include <string>

namespace varo {

// The error display's rule: a message whose last character comes after "." in
// character order gets a full stop; ")" and "!" endings stay as they are.
std::string WithFullStop(const std::string& message);

// "File not found", "Invalid filename", ... for an errno value: the runtime's built-in texts, so
// translated as those are (TranslateResourceText).
std::string FileErrorText(int error);
std::string RuntimeText(const char* source);

// What a technician can do about the common errno values, in Turkish; empty for the rest.
std::string FileErrorAdvice(int error);

// "<heading>: <path> (<text>)", and the advice on a second line when there is one: a Turkish
// message around the system's own words ("Disk full", "File not found", ...).
std::string FileErrorMessage(const std::string& heading, const std::string& text, const std::string& path,
                             const std::string& advice);

// "karakter aygıtı", "klasör", ... for the file type bits of a st_mode.
std::string FileKindName(unsigned mode);

}  // namespace varo
