#include "features/sheet/SheetTarget.h"

#include <sys/stat.h>

#include <filesystem>

#include "core/ErrorText.h"

namespace fs = std::filesystem;

bool SheetTargetExists(const QString& path) {
  std::error_code ignored;
  return fs::exists(fs::path(path.toStdWString()), ignored);
}

// CON, NUL, COM1 ... are devices in every folder.
std::string SheetTargetKind(const QString& path) {
  std::error_code ignored;
  const fs::file_status status = fs::status(fs::path(path.toStdWString()), ignored);
  if (!fs::exists(status) || fs::is_regular_file(status)) return {};
  return varo::FileKindName(fs::is_directory(status) ? S_IFDIR : S_IFCHR);
}
