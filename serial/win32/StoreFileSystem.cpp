// The settings stores' files on Windows: UTF-8 paths through the wide-character calls, a save
// moved over the old file once its bytes are on the disk.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>

#include "StoreFile.h"
#include "WideText.h"

namespace cport_store {

namespace {

struct THandle {
  HANDLE Value = INVALID_HANDLE_VALUE;
  ~THandle() {
    if (Value != INVALID_HANDLE_VALUE) CloseHandle(Value);
  }
};

int LastError() { return static_cast<int>(GetLastError()); }

// ERROR_DIRECTORY_NOT_SUPPORTED, which MinGW's headers lack: "An operation is not supported on a directory."
constexpr int FolderCode = 336;

}  // namespace

int ReadWholeFile(const std::string& Path, std::string& Content) {
  Content.clear();
  const std::wstring Name = WideText(Path);
  const DWORD Attributes = GetFileAttributesW(Name.c_str());
  if (Attributes == INVALID_FILE_ATTRIBUTES) return LastError();
  if (Attributes & FILE_ATTRIBUTE_DIRECTORY) return FolderCode;
  THandle File;
  File.Value = CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File.Value == INVALID_HANDLE_VALUE) return LastError();
  if (GetFileType(File.Value) != FILE_TYPE_DISK) return ERROR_INVALID_PARAMETER;
  LARGE_INTEGER Size;
  if (!GetFileSizeEx(File.Value, &Size)) return LastError();
  if (Size.QuadPart > LONGLONG(MaxStoreFileSize)) return ERROR_FILE_TOO_LARGE;
  char Buf[65536];
  for (;;) {
    DWORD N = 0;
    if (!ReadFile(File.Value, Buf, sizeof Buf, &N, nullptr)) return LastError();
    if (N == 0) return 0;
    // A file that grows while read is cut off as one that was too large at the start.
    if (Content.size() + N > MaxStoreFileSize) {
      Content.clear();
      return ERROR_FILE_TOO_LARGE;
    }
    Content.append(Buf, N);
  }
}

int ReplaceWholeFile(const std::string& Path, const std::string& Content) {
  static std::atomic<unsigned> Counter{0};
  const std::wstring Final = WideText(Path);
  const DWORD Attributes = GetFileAttributesW(Final.c_str());
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY))
    return FolderCode;
  std::wstring Temp;
  THandle File;
  for (int Try = 0; File.Value == INVALID_HANDLE_VALUE; ++Try) {
    Temp = Final + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(Counter++);
    File.Value = CreateFileW(Temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File.Value == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || Try == 100)) return LastError();
  }
  int Err = 0;
  for (size_t Done = 0; !Err && Done < Content.size();) {
    DWORD N = 0;
    const DWORD Chunk = static_cast<DWORD>(std::min<size_t>(Content.size() - Done, 1u << 20));
    if (!WriteFile(File.Value, Content.data() + Done, Chunk, &N, nullptr)) Err = LastError();
    else if (N == 0) Err = ERROR_DISK_FULL;
    Done += N;
  }
  if (!Err && !FlushFileBuffers(File.Value)) Err = LastError();
  if (!CloseHandle(File.Value) && !Err) Err = LastError();
  File.Value = INVALID_HANDLE_VALUE;
  if (!Err && !MoveFileExW(Temp.c_str(), Final.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Err = LastError();
  if (Err) DeleteFileW(Temp.c_str());
  return Err;
}

std::string ErrorText(int Code) { return std::system_category().message(Code); }

bool NoSettingsFile(int Code) { return Code == ERROR_INVALID_PARAMETER || Code == ERROR_FILE_TOO_LARGE; }

bool MissingFile(int Code) { return Code == ERROR_FILE_NOT_FOUND; }

}  // namespace cport_store
