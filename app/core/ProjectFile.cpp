#include "ProjectFile.h"

#include "FileErrorCodes.h"
#include "ProjectFileErrors.h"

namespace varo {

EFileError::EFileError(const std::string& message, int systemErrorCode)
    : std::runtime_error(message), SystemErrorCode(systemErrorCode) {}

const char* const ReadHeading = "Ayar dosyası açılamadı";
const char* const ReadUntouched = "okunmadı.";
const char* const WriteHeading = "Ayar dosyası kaydedilemedi";
const char* const WriteUntouched = "ona hiçbir şey yazılmadı. Başka bir dosya adı seçin.";

EFileError ShortReadError(const std::string& path) {
  return EFileError(FileErrorMessage(ReadHeading, RuntimeText("Read beyond end of file"), path,
                                     "Dosya 256 bayttan kısa; bir VARO ayar dosyası değil."),
                    0);
}

EFileError ShortWriteError(const std::string& path) {
  return EFileError(FileErrorMessage(WriteHeading, RuntimeText("Disk full"), path, FileErrorAdvice(DiskFullCode)), 0);
}

EFileError SystemFileError(const char* heading, const std::string& path, int code) {
  return EFileError(FileErrorMessage(heading, FileErrorText(code), path, FileErrorAdvice(code)), code);
}

EFileError NotAProjectFile(const std::string& heading, const std::string& path, const std::string& target,
                           const std::string& kind, const std::string& untouched) {
  const std::string subject = target == path ? "Bu bir " : "Bağlantının gösterdiği " + target + " bir ";
  return EFileError(heading + ": " + path + "\n" + subject + kind + ", ayar dosyası değil; " + untouched, 0);
}

}  // namespace varo
