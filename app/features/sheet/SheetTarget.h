#pragma once
// What a sheet's save asks of the system about the name it was given (one file per system).
#include <QString>

// Something is there under that name (a link that leads nowhere counts).
bool SheetTargetExists(const QString& path);
// "klasör", "karakter aygıtı", ... for what is there and is no file; empty for a file or nothing.
std::string SheetTargetKind(const QString& path);
