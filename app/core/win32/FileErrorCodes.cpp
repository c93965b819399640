// What GetLastError codes of file calls mean to the file messages.
#include "core/FileErrorCodes.h"
#include "core/ErrorText.h"

#include <sys/stat.h>
#include <windows.h>

namespace varo {

const int DiskFullCode = ERROR_DISK_FULL;
// ERROR_DIRECTORY_NOT_SUPPORTED: "An operation is not supported on a directory."
const int FolderCode = 336;

TFileProblem FileProblem(int code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return TFileProblem::NotFound;
    case ERROR_PATH_NOT_FOUND: return TFileProblem::PathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES: return TFileProblem::TooManyOpen;
    case ERROR_ACCESS_DENIED: return TFileProblem::Denied;
    case 336: return TFileProblem::Folder;
    case ERROR_WRITE_PROTECT: return TFileProblem::ReadOnlyDisk;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return TFileProblem::DiskFull;
    default: return TFileProblem::Other;
  }
}

std::string FileKindName(unsigned mode) {
  switch (mode & S_IFMT) {
    case S_IFREG: return "dosya";
    case S_IFDIR: return "klasör";
    case S_IFCHR: return "aygıt";
    case S_IFIFO: return "adlandırılmış boru";
    default: return "özel dosya";
  }
}

}  // namespace varo
