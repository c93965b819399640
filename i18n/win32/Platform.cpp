// Files, places and language for the catalogs on Windows: UTF-8 paths at the edge become the
// wide-character calls' own.
#include <windows.h>

#include <system_error>

#include "CatalogFile.h"
#include "gnugettext.h"

namespace {

std::wstring Wide(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(length), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
  return wide;
}

std::string Utf8(const wchar_t* wide, int length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace

const char* const kPathSeparators = "\\/";

bool CatalogFileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SystemLanguage() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH];
  const int length = GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
  if (length <= 1) return "";
  // "tr-TR" as the catalogs' folders name it: "tr_TR". A script part ("sr-Latn-RS") is left out.
  std::string language = Utf8(name, length - 1);
  const size_t first = language.find('-');
  if (first == std::string::npos) return language;
  const size_t last = language.rfind('-');
  return language.substr(0, first) + "_" + language.substr(last + 1);
}

std::string ExecutablePath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  if (length == 0 || length >= path.size()) return "";
  return Utf8(path.data(), int(length));
}

TCatalogFile::TCatalogFile(const std::string& path) {
  const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  handle_ = reinterpret_cast<intptr_t>(file);
  LARGE_INTEGER size;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) return;
  size_ = uint64_t(size.QuadPart);
  open_ = true;
}

TCatalogFile::~TCatalogFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

int64_t TCatalogFile::ReadAt(void* buffer, size_t length, uint64_t offset, std::string& error) const {
  OVERLAPPED at{};
  at.Offset = DWORD(offset);
  at.OffsetHigh = DWORD(offset >> 32);
  DWORD got = 0;
  const DWORD chunk = length > 0x40000000 ? 0x40000000 : DWORD(length);
  if (ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, chunk, &got, &at)) return got;
  const DWORD code = GetLastError();
  if (code == ERROR_HANDLE_EOF) return 0;
  error = std::system_category().message(int(code));
  return -1;
}
