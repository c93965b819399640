// TIniFile: an ini file read when opened and saved atomically after every write.
#include "ComStore.h"
#include "IniDocument.h"
#include "StoreFile.h"

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)) {
  std::string Text;
  const int Err = cport_store::ReadWholeFile(FFileName, Text);
  if (cport_store::MissingFile(Err)) {
    FDocument = std::make_unique<TIniDocument>("", FFileName);
    return;
  }
  if (cport_store::NoSettingsFile(Err)) throw EComPort(CError_LoadFailed, Err);
  if (Err) throw EIniFileException("Cannot read ini file '" + FFileName + "': " + cport_store::ErrorText(Err));
  FDocument = std::make_unique<TIniDocument>(Text, FFileName);
}

TIniFile::~TIniFile() = default;

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  TIniDocument Before = *FDocument;
  if (!FDocument->Set(Section, Ident, Value)) return;
  if (const int Err = cport_store::ReplaceWholeFile(FFileName, FDocument->Text())) {
    *FDocument = std::move(Before);  // what is in memory stays what is on the disk
    throw EIniFileException("Cannot write ini file '" + FFileName + "': " + cport_store::ErrorText(Err));
  }
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
  WriteString(Section, Ident, std::to_string(Value));
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  std::string Value;
  return FDocument->Find(Section, Ident, Value) ? Value : Default;
}

int32_t TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
  std::string Text;
  int32_t Value = 0;
  if (!FDocument->Find(Section, Ident, Text) || !TryStrToInt(Text, Value)) return Default;
  return Value;
}
