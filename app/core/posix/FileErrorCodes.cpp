// What errno values of file calls mean to the file messages.
#include "core/FileErrorCodes.h"
#include "core/ErrorText.h"

#include <sys/stat.h>

#include <cerrno>

namespace varo {

const int DiskFullCode = ENOSPC;
const int FolderCode = EISDIR;

TFileProblem FileProblem(int code) {
  switch (code) {
    case ENOENT: return TFileProblem::NotFound;
    case ENOTDIR: return TFileProblem::NotAFolderInPath;
    case EMFILE: return TFileProblem::TooManyOpen;
    case EACCES:
    case EPERM: return TFileProblem::Denied;
    case EISDIR: return TFileProblem::Folder;
    case EROFS: return TFileProblem::ReadOnlyDisk;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return TFileProblem::DiskFull;
    default: return TFileProblem::Other;
  }
}

std::string FileKindName(unsigned mode) {
  switch (mode & S_IFMT) {
    case S_IFREG: return "dosya";
    case S_IFDIR: return "klasör";
    case S_IFCHR: return "karakter aygıtı";
    case S_IFBLK: return "blok aygıtı";
    case S_IFIFO: return "adlandırılmış boru (FIFO)";
    case S_IFSOCK: return "soket";
    default: return "özel dosya";
  }
}

}  // namespace varo
