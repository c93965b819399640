#include <sys/stat.h>

#include "gnugettext.h"
#include "shell/CatalogFolder.h"

std::string ProgramCatalogFolder() {
  const std::string program = ExecutablePath();
  const std::string folder = program.substr(0, program.rfind('/') + 1);
  const std::string shared = folder + "../share/varo-programmer/locale";
  struct stat st {};
  if (::stat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return shared;
  return folder + "locale";
}
