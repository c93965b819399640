// The code page of the system's texts, Windows-1254 (Turkish), for the terminal's single-byte
// cells: what a received byte shows and which byte a typed character sends. Free of Qt.
#pragma once

#include <optional>

// Bytes the code page leaves undefined come back as U+FFFD.
char32_t Windows1254ToUnicode(unsigned char Byte);
// Nothing for a character the code page cannot hold.
std::optional<unsigned char> UnicodeToWindows1254(char32_t Ch);
