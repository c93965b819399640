#include "ErrorText.h"

#include <sys/stat.h>

#include <cerrno>

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

std::string FileErrorText(int error) {
  switch (error) {
    case ENOENT: return RuntimeText("File not found");
    case ENOTDIR: return RuntimeText("Invalid filename");
    case EMFILE: return RuntimeText("Too many open files");
    case EACCES:
    case EPERM: return RuntimeText("File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return RuntimeText("Disk full");
    default: {
      std::string text = RuntimeText("I/O error %d");
      const size_t at = text.find("%d");
      return at == std::string::npos ? text : text.replace(at, 2, std::to_string(error));
    }
  }
}

std::string FileErrorAdvice(int error) {
  switch (error) {
    case ENOENT: return "Böyle bir dosya ya da klasör yok; adı ve yolu denetleyin.";
    case ENOTDIR: return "Yolun bir parçası klasör değil; adı ve yolu denetleyin.";
    case EISDIR: return "Bu bir klasör, dosya değil; bir dosya adı seçin.";
    case EACCES:
    case EPERM: return "Bu dosyaya ya da klasöre erişim izniniz yok; izinleri denetleyin ya da başka bir yer seçin.";
    case EROFS: return "Disk salt okunur bağlanmış, üzerine yazılamaz; başka bir diske ya da klasöre kaydedin.";
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return "Diskte yer kalmadı; yer açın ya da başka bir diske kaydedin.";
    default: return {};
  }
}

std::string FileErrorMessage(const std::string& heading, const std::string& text, const std::string& path,
                             const std::string& advice) {
  return heading + ": " + path + " (" + text + ")" + (advice.empty() ? "" : "\n" + advice);
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
