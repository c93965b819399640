#pragma once
// Where the program's message catalogs lie, found from the program's own place: on Linux the
// package's share/varo-programmer/locale beside its bin/ (as installed, and in the build tree),
// else locale/ beside the program, as on Windows.
#include <string>

std::string ProgramCatalogFolder();
