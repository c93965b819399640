// TRegistryKey: a key of the user's part of the Windows registry.
#include <windows.h>

#include <system_error>

#include "ComStore.h"
#include "WideText.h"

namespace {

std::string Utf8(const std::wstring& Wide) {
  const int Size = WideCharToMultiByte(CP_UTF8, 0, Wide.data(), int(Wide.size()), nullptr, 0, nullptr, nullptr);
  std::string Text(size_t(Size > 0 ? Size : 0), '\0');
  if (Size > 0) WideCharToMultiByte(CP_UTF8, 0, Wide.data(), int(Wide.size()), Text.data(), Size, nullptr, nullptr);
  return Text;
}

std::string Named(const char* Pattern, const std::string& Name) {
  std::string Text = Pattern;
  return Text.replace(Text.find("%s"), 2, Name);
}

std::string ErrorText(LSTATUS Status) { return std::system_category().message(int(Status)); }

}  // namespace

TRegistryKey::TRegistryKey(const std::string& Path) : FPath(Path) {
  HKEY Key = nullptr;
  const LSTATUS Status = RegCreateKeyExW(HKEY_CURRENT_USER, cport_store::WideText(Path).c_str(), 0, nullptr, 0,
                                        KEY_READ | KEY_WRITE, nullptr, &Key, nullptr);
  if (Status != ERROR_SUCCESS)
    throw ERegistryException("Failed to create key " + Path + ": " + ErrorText(Status), ErrorText(Status));
  FKey = Key;
}

TRegistryKey::~TRegistryKey() { RegCloseKey(static_cast<HKEY>(FKey)); }

void TRegistryKey::WriteString(const std::string& Name, const std::string& Value) {
  const std::wstring Data = cport_store::WideText(Value);
  const LSTATUS Status =
      RegSetValueExW(static_cast<HKEY>(FKey), cport_store::WideText(Name).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(Data.c_str()), DWORD((Data.size() + 1) * sizeof(wchar_t)));
  if (Status != ERROR_SUCCESS) throw ERegistryException(Named("Failed to set data for '%s'", Name), ErrorText(Status));
}

void TRegistryKey::WriteInteger(const std::string& Name, int32_t Value) {
  const DWORD Data = static_cast<DWORD>(Value);
  const LSTATUS Status = RegSetValueExW(static_cast<HKEY>(FKey), cport_store::WideText(Name).c_str(), 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&Data), sizeof Data);
  if (Status != ERROR_SUCCESS) throw ERegistryException(Named("Failed to set data for '%s'", Name), ErrorText(Status));
}

std::string TRegistryKey::ReadString(const std::string& Name) {
  const std::wstring WideName = cport_store::WideText(Name);
  DWORD Type = 0, Size = 0;
  if (RegQueryValueExW(static_cast<HKEY>(FKey), WideName.c_str(), nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS)
    return "";
  if (Type != REG_SZ && Type != REG_EXPAND_SZ) throw ERegistryException(Named("Invalid data type for '%s'", Name));
  std::wstring Data(Size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(static_cast<HKEY>(FKey), WideName.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Data.data()),
                       &Size) != ERROR_SUCCESS)
    throw ERegistryException(Named("Failed to get data for '%s'", Name));
  Data.resize(Size / sizeof(wchar_t));
  while (!Data.empty() && Data.back() == L'\0') Data.pop_back();
  return Utf8(Data);
}

int32_t TRegistryKey::ReadInteger(const std::string& Name) {
  DWORD Type = 0, Size = 0;
  const std::wstring WideName = cport_store::WideText(Name);
  if (RegQueryValueExW(static_cast<HKEY>(FKey), WideName.c_str(), nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS)
    throw ERegistryException(Named("Failed to get data for '%s'", Name));
  if (Type != REG_DWORD && Type != REG_QWORD && Type != REG_BINARY)
    throw ERegistryException(Named("Invalid data type for '%s'", Name));
  if (Size > 4) throw ERegistryException(Named("Failed to get data for '%s'", Name));
  DWORD Data = 0;
  if (RegQueryValueExW(static_cast<HKEY>(FKey), WideName.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(&Data),
                       &Size) != ERROR_SUCCESS)
    throw ERegistryException(Named("Failed to get data for '%s'", Name));
  return static_cast<int32_t>(Data);
}
