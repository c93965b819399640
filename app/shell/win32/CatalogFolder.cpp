#include "gnugettext.h"
#include "shell/CatalogFolder.h"

// The catalogs travel with the program: locale\ beside it.
std::string ProgramCatalogFolder() {
  const std::string program = ExecutablePath();
  return program.substr(0, program.find_last_of("\\/") + 1) + "locale";
}
