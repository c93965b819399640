#pragma once
// The messages of the project-file commands, shared by the files of each system (internal).
#include <string>

#include "ProjectFile.h"

namespace varo {

extern const char* const ReadHeading;
extern const char* const ReadUntouched;
extern const char* const WriteHeading;
extern const char* const WriteUntouched;

// "<heading>: <path> (<the system's text>)" and the advice for the system's error code.
EFileError SystemFileError(const char* heading, const std::string& path, int code);
// "Bu bir <kind>, ayar dosyası değil; <untouched>", naming where a link led when it led elsewhere.
EFileError NotAProjectFile(const std::string& heading, const std::string& path, const std::string& target,
                           const std::string& kind, const std::string& untouched);

}  // namespace varo
