#pragma once
// The window's own texts are fixed Turkish texts that no translator may change: the code
// generated from its layout takes them through this instead of QCoreApplication::translate.
#include <QString>

inline QString FixedText(const char* text, const char* = nullptr, int = -1) { return QString::fromUtf8(text); }
