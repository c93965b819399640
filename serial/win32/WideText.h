#pragma once
// UTF-8 inside, UTF-16 at the edge of the wide-character Win32 calls (internal to unit CPort).
#include <windows.h>

#include <string>

namespace cport_store {

inline std::wstring WideText(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
  return wide;
}

}  // namespace cport_store
