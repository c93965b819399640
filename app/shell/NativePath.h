#pragma once
// File and port names as the Qt-free core and the system take them, and back: UTF-8, which Qt's
// local 8-bit encoding is on Linux but not on Windows (the ANSI code page there, which would turn
// "Katı" into "Kati"), with the system's own separators, so messages and the title show a path
// as the user's system writes it.
#include <QDir>
#include <QString>

#include <string>

inline std::string NativePath(const QString& path) { return QDir::toNativeSeparators(path).toUtf8().toStdString(); }

inline QString ShownPath(const std::string& path) { return QString::fromStdString(path); }
