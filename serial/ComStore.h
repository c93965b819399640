// Stores for the port's settings: an ini file and a registry key kept in a file (Qt-free); on
// Windows also a key of the registry itself.
// Both read their file when constructed and save it after every write, by writing a temporary
// file beside it and renaming it over the old one, so a failed save leaves the old file whole.
// A path that names no regular file (a FIFO, a device), or a file above 1 MiB, is no settings
// file: constructing either store on it raises EComPort code 17, "Failed to load settings".
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "CPort.h"

// Unreadable or malformed ini file, a name or value an ini file cannot hold, a failed save.
class EIniFileException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The registry errors: "Failed to set data for '%s'", "Failed to get data for '%s'" and
// "Invalid data type for '%s'" with the value name, and errors opening the key's file.
// Detail() tells the cause of a failed write (the system's error text), "" otherwise.
class ERegistryException : public std::runtime_error {
 public:
  explicit ERegistryException(const std::string& Message, std::string Detail = {})
      : std::runtime_error(Message), FDetail(std::move(Detail)) {}
  const std::string& Detail() const { return FDetail; }

 private:
  std::string FDetail;
};

class TIniDocument;

// Sections and key=value lines. Names match without regard to ASCII case; comments (";" or "#"
// at the start of a line), blank lines, unknown sections and the file's line ends are kept.
// Values are trimmed when read; a value with blanks at either end, or one enclosed in double
// quotes, is written in double quotes so that it reads back unchanged. A missing file is empty
// until the first write creates it.
class TIniFile : public TCustomIniFile {
 public:
  explicit TIniFile(std::string FileName);
  ~TIniFile() override;
  const std::string& FileName() const { return FFileName; }

  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) override;
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  // The value read with TryStrToInt; Default when missing or not a number.
  int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) override;

 private:
  std::string FFileName;
  std::unique_ptr<TIniDocument> FDocument;
};

class TKeyDocument;

// One registry key in a file, a value per line in the registry's export form:
//   "Name"="text"   "Name"=dword:0000002a   "Name"=qword:...   (qword only read, never written)
// Names match without regard to ASCII case. A missing file is an empty key until the first write.
class TRegistryFile : public TCustomRegistry {
 public:
  explicit TRegistryFile(std::string FileName);
  ~TRegistryFile() override;
  const std::string& FileName() const { return FFileName; }

  void WriteString(const std::string& Name, const std::string& Value) override;
  void WriteInteger(const std::string& Name, int32_t Value) override;
  std::string ReadString(const std::string& Name) override;
  int32_t ReadInteger(const std::string& Name) override;

 private:
  std::string FFileName;
  std::unique_ptr<TKeyDocument> FDocument;
};

#ifdef _WIN32
// A key of HKEY_CURRENT_USER, created when missing: text values as REG_SZ, integers as REG_DWORD.
// ReadString gives "" for a missing value; ReadInteger fails for a missing value or one above 4 bytes.
class TRegistryKey : public TCustomRegistry {
 public:
  // Path below HKEY_CURRENT_USER, e.g. "Software\\VARO\\Port"; ERegistryException when it cannot be opened.
  explicit TRegistryKey(const std::string& Path);
  ~TRegistryKey() override;
  TRegistryKey(const TRegistryKey&) = delete;
  TRegistryKey& operator=(const TRegistryKey&) = delete;
  const std::string& Path() const { return FPath; }

  void WriteString(const std::string& Name, const std::string& Value) override;
  void WriteInteger(const std::string& Name, int32_t Value) override;
  std::string ReadString(const std::string& Name) override;
  int32_t ReadInteger(const std::string& Name) override;

 private:
  std::string FPath;
  void* FKey = nullptr;  // HKEY
};
#endif
