#pragma once
// Reading and writing project files: the 256 raw bytes of the device image.
#include <stdexcept>
#include <string>

#include "DeviceImage.h"

namespace varo {

// A failure of a file command; the message is the text the user sees.
class EFileError : public std::runtime_error {
 public:
  EFileError(const std::string& message, int systemErrorCode);
  int SystemErrorCode;  // errno of the failed call; 0 for a short read or write
};

// "File not found", "Invalid filename", ... for an errno value.
std::string FileErrorText(int error);
EFileError ShortReadError();
EFileError ShortWriteError();

// Reads the first 256 bytes; a shorter file is "Read beyond end of file".
DeviceImage ReadProjectFile(const std::string& path);

// Writes a temporary file beside the target and renames it over the target
// only when all bytes are on disk, so a failure never harms the old file.
void WriteProjectFile(const std::string& path, const DeviceImage& image);

}  // namespace varo
