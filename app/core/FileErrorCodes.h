#pragma once
// What a system error code of a file call means to the file messages (internal): errno values
// on POSIX, GetLastError codes on Windows.
namespace varo {

enum class TFileProblem {
  NotFound,
  PathNotFound,    // a folder of the path is not there
  NotAFolderInPath,
  TooManyOpen,
  Denied,
  Folder,          // a folder where a file was meant
  ReadOnlyDisk,
  DiskFull,
  Other,
};

TFileProblem FileProblem(int code);

// The code a disk that took fewer bytes than it was given stands for.
extern const int DiskFullCode;
// The code for a folder where a file was meant.
extern const int FolderCode;

}  // namespace varo
