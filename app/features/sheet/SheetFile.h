#pragma once
// The project sheet as a file, written without losing an earlier one.
#include <QString>

#include "features/sheet/Sheet.h"

// A4 PNGs are written at this resolution.
constexpr int SheetPngDpi = 150;

// Write an A4 page. On failure they return why, in Turkish, and leave
// whatever is at `path` as it was (a device, FIFO, socket or folder is
// refused unopened); on success an empty string.
QString WriteSheetPdf(const QString& path, const TSheet& sheet);
QString WriteSheetPng(const QString& path, const TSheet& sheet);
