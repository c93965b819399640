#pragma once
// Reading and writing project files: the 256 raw bytes of the device image.
#include <stdexcept>
#include <string>

#include "DeviceImage.h"
#include "ErrorText.h"

namespace varo {

// A failure of a file command; the message is the text the user sees.
class EFileError : public std::runtime_error {
 public:
  EFileError(const std::string& message, int systemErrorCode);
  int SystemErrorCode;  // errno of the failed call; 0 for a short read or write
};

// Every message names the path and, where it helps, says what to do on a second line.
EFileError ShortReadError(const std::string& path);
EFileError ShortWriteError(const std::string& path);

// Reads the first 256 bytes; a shorter file is "Read beyond end of file". A device, FIFO
// or socket is refused without being opened, so a FIFO without a writer cannot hang us.
DeviceImage ReadProjectFile(const std::string& path);

// Follows links to the file the name stands for, writes a temporary file beside it and
// renames it over it only when all bytes are on disk, so a failure never harms the old
// file. Anything there that is not a regular file (device, FIFO, socket, folder) is
// refused untouched.
void WriteProjectFile(const std::string& path, const DeviceImage& image);

}  // namespace varo
