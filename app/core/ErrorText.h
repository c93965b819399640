#pragma once
#include <string>

namespace varo {

// The error display's rule: a message whose last character comes after "." in
// character order gets a full stop; ")" and "!" endings stay as they are.
std::string WithFullStop(const std::string& message);

// "File not found", "Invalid filename", ... for an error code of the system (errno, GetLastError): the runtime's built-in texts, so
// translated as those are (TranslateResourceText).
std::string FileErrorText(int error);
std::string RuntimeText(const char* source);
// "I/O error <code>", as translated.
std::string IoErrorText(int code);

// What a technician can do about the common error codes, in Turkish; empty for the rest.
std::string FileErrorAdvice(int error);

// "<heading>: <path> (<text>)", and the advice on a second line when there is one: a Turkish
// message around the system's own words ("Disk full", "File not found", ...).
std::string FileErrorMessage(const std::string& heading, const std::string& text, const std::string& path,
                             const std::string& advice);

// "karakter aygıtı", "klasör", ... for the file type bits of a st_mode.
std::string FileKindName(unsigned mode);

}  // namespace varo
