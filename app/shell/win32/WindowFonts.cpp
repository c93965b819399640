#include "shell/WindowFonts.h"

#include <QFont>
#include <QStringList>

// Windows has Tahoma and Arial; "MS Sans Serif" and "Fixedsys" are bitmap fonts a system may no
// longer offer, whose TrueType successors stand in. Wine without its own fonts has only the
// Linux faces.
void UseWindowFonts() {
  const std::pair<const char*, QStringList> standIns[] = {
      {"MS Sans Serif", {"Microsoft Sans Serif", "Tahoma", "Liberation Sans"}},
      {"Tahoma", {"Liberation Sans"}},
      {"Arial", {"Liberation Sans"}},
      {"Fixedsys", {"Consolas", "Courier New", "DejaVu Sans Mono"}}};
  for (const auto& [family, substitutes] : standIns) QFont::insertSubstitutions(QString::fromLatin1(family), substitutes);
}
