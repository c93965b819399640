#include "features/sheet/SheetTarget.h"

#include <QFile>
#include <sys/stat.h>

#include "core/ErrorText.h"

bool SheetTargetExists(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

std::string SheetTargetKind(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  return varo::FileKindName(st.st_mode);
}
