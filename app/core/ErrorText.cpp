#include "ErrorText.h"

#include "FileErrorCodes.h"
#include "gnugettext.h"

namespace varo {

std::string WithFullStop(const std::string& message) {
  if (message.empty()) return message;
  // A UTF-8 letter ends in a byte of 0x80 or above, which comes after "." too.
  const unsigned char last = static_cast<unsigned char>(message.back());
  return last > '.' ? message + "." : message;
}

std::string RuntimeText(const char* source) {
  try {
    return TranslateResourceText(source);
  } catch (...) {
    return source;
  }
}

std::string IoErrorText(int code) {
  std::string text = RuntimeText("I/O error %d");
  const size_t at = text.find("%d");
  return at == std::string::npos ? text : text.replace(at, 2, std::to_string(code));
}

std::string FileErrorText(int error) {
  switch (FileProblem(error)) {
    case TFileProblem::NotFound: return RuntimeText("File not found");
    case TFileProblem::PathNotFound:
    case TFileProblem::NotAFolderInPath: return RuntimeText("Invalid filename");
    case TFileProblem::TooManyOpen: return RuntimeText("Too many open files");
    case TFileProblem::Denied: return RuntimeText("File access denied");
    case TFileProblem::DiskFull: return RuntimeText("Disk full");
    default: return IoErrorText(error);
  }
}

std::string FileErrorAdvice(int error) {
  switch (FileProblem(error)) {
    case TFileProblem::NotFound:
    case TFileProblem::PathNotFound: return "Böyle bir dosya ya da klasör yok; adı ve yolu denetleyin.";
    case TFileProblem::NotAFolderInPath: return "Yolun bir parçası klasör değil; adı ve yolu denetleyin.";
    case TFileProblem::Folder: return "Bu bir klasör, dosya değil; bir dosya adı seçin.";
    case TFileProblem::Denied:
      return "Bu dosyaya ya da klasöre erişim izniniz yok; izinleri denetleyin ya da başka bir yer seçin.";
    case TFileProblem::ReadOnlyDisk:
      return "Disk salt okunur bağlanmış, üzerine yazılamaz; başka bir diske ya da klasöre kaydedin.";
    case TFileProblem::DiskFull: return "Diskte yer kalmadı; yer açın ya da başka bir diske kaydedin.";
    default: return {};
  }
}

std::string FileErrorMessage(const std::string& heading, const std::string& text, const std::string& path,
                             const std::string& advice) {
  return heading + ": " + path + " (" + text + ")" + (advice.empty() ? "" : "\n" + advice);
}

}  // namespace varo
