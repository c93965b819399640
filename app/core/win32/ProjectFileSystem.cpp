// Project files on Windows: UTF-8 paths through the wide-character calls; a save writes a
// temporary file beside the old one and moves it over it once its bytes are on the disk.
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <string>

#include "core/ErrorText.h"
#include "core/FileErrorCodes.h"
#include "core/ProjectFile.h"
#include "core/ProjectFileErrors.h"
#include "WideText.h"

namespace varo {

namespace {

const char* const DeviceKind = "aygıt";

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

// CON, NUL, COM1 ... name a device in every folder and with any extension; \\.\ names one too.
bool NamesDevice(const std::string& path) {
  if (path.rfind("\\\\.\\", 0) == 0) return true;
  const size_t slash = path.find_last_of("\\/:");
  std::string stem = path.substr(slash == std::string::npos ? 0 : slash + 1);
  stem = UpperAscii(stem.substr(0, stem.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
    return true;
  return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem[3] >= '1' &&
         stem[3] <= '9';
}

[[noreturn]] void ThrowLastError(const char* heading, const std::string& path) {
  throw SystemFileError(heading, path, int(GetLastError()));
}

struct THandle {
  HANDLE Value = INVALID_HANDLE_VALUE;
  ~THandle() {
    if (Value != INVALID_HANDLE_VALUE) CloseHandle(Value);
  }
  bool Close() {
    const BOOL ok = CloseHandle(Value);
    Value = INVALID_HANDLE_VALUE;
    return ok;
  }
};

}  // namespace

DeviceImage ReadProjectFile(const std::string& path) {
  // Opening a port has effects of its own (modem lines): a device is refused by its name.
  if (NamesDevice(path)) throw NotAProjectFile(ReadHeading, path, path, DeviceKind, ReadUntouched);
  const std::wstring name = WideText(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) ThrowLastError(ReadHeading, path);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw SystemFileError(ReadHeading, path, FolderCode);
  THandle file;
  file.Value = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file.Value == INVALID_HANDLE_VALUE) ThrowLastError(ReadHeading, path);
  if (GetFileType(file.Value) != FILE_TYPE_DISK) throw NotAProjectFile(ReadHeading, path, path, DeviceKind, ReadUntouched);
  DeviceImage image{};
  DWORD got = 0;
  while (got < image.size()) {
    DWORD n = 0;
    if (!ReadFile(file.Value, image.data() + got, DWORD(image.size()) - got, &n, nullptr))
      ThrowLastError(ReadHeading, path);
    if (n == 0) throw ShortReadError(path);
    got += n;
  }
  return image;
}

void WriteProjectFile(const std::string& path, const DeviceImage& image) {
  static std::atomic<unsigned> counter{0};
  if (NamesDevice(path)) throw NotAProjectFile(WriteHeading, path, path, DeviceKind, WriteUntouched);
  const std::wstring target = WideText(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_FILE_NOT_FOUND)
    ThrowLastError(WriteHeading, path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw NotAProjectFile(WriteHeading, path, path, FileKindName(S_IFDIR), WriteUntouched);

  const size_t slash = target.find_last_of(L"\\/:");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  const std::wstring base = target.substr(slash == std::wstring::npos ? 0 : slash + 1);
  std::wstring temp;
  THandle file;
  for (int attempt = 0; file.Value == INVALID_HANDLE_VALUE; ++attempt) {
    temp = folder + L"." + base + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++) + L".tmp";
    file.Value = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file.Value == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || attempt == 100))
      ThrowLastError(WriteHeading, path);
  }
  struct TCleanup {
    const std::wstring& Path;
    bool Keep = false;
    ~TCleanup() {
      if (!Keep) DeleteFileW(Path.c_str());
    }
  } cleanup{temp};

  DWORD put = 0;
  while (put < image.size()) {
    DWORD n = 0;
    if (!WriteFile(file.Value, image.data() + put, DWORD(image.size()) - put, &n, nullptr))
      ThrowLastError(WriteHeading, path);
    if (n == 0) throw ShortWriteError(path);
    put += n;
  }
  if (!FlushFileBuffers(file.Value)) ThrowLastError(WriteHeading, path);
  if (!file.Close()) ThrowLastError(WriteHeading, path);
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ThrowLastError(WriteHeading, path);
  cleanup.Keep = true;
}

}  // namespace varo
