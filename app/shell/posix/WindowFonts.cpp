#include "shell/WindowFonts.h"

#include <QFont>

// Debian's metric-compatible faces (fonts-liberation, fonts-dejavu-core, which the scripts install).
void UseWindowFonts() {
  for (const char* family : {"MS Sans Serif", "Tahoma", "Arial"})
    QFont::insertSubstitution(QString::fromLatin1(family), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Fixedsys"), QStringLiteral("DejaVu Sans Mono"));
}
