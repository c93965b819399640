// TRegistryFile: a registry key in a file, read when opened and saved atomically after every write.
#include "ComStore.h"
#include "KeyDocument.h"
#include "StoreFile.h"

namespace {

std::string ValueError(const char* Pattern, const std::string& Name) {
  std::string Message = Pattern;
  return Message.replace(Message.find("%s"), 2, Name);
}

void Put(TKeyDocument& Document, const std::string& FileName, const TKeyDocument::TValue& Value) {
  TKeyDocument Before = Document;
  if (!Document.Set(Value)) return;
  if (const int Err = cport_store::ReplaceWholeFile(FileName, Document.Text())) {
    Document = std::move(Before);  // what is in memory stays what is on the disk
    throw ERegistryException(ValueError("Failed to set data for '%s'", Value.Name), cport_store::ErrorText(Err));
  }
}

}  // namespace

TRegistryFile::TRegistryFile(std::string FileName) : FFileName(std::move(FileName)) {
  std::string Text;
  const int Err = cport_store::ReadWholeFile(FFileName, Text);
  if (cport_store::NoSettingsFile(Err)) throw EComPort(CError_LoadFailed, Err);
  if (Err && !cport_store::MissingFile(Err))
    throw ERegistryException("Cannot read settings key file '" + FFileName + "': " + cport_store::ErrorText(Err));
  FDocument = std::make_unique<TKeyDocument>(Err ? std::string() : Text, FFileName);
}

TRegistryFile::~TRegistryFile() = default;

void TRegistryFile::WriteString(const std::string& Name, const std::string& Value) {
  TKeyDocument::TValue V;
  V.Name = Name;
  V.Kind = TKeyDocument::vkText;
  V.Text = Value;
  Put(*FDocument, FFileName, V);
}

void TRegistryFile::WriteInteger(const std::string& Name, int32_t Value) {
  TKeyDocument::TValue V;
  V.Name = Name;
  V.Kind = TKeyDocument::vkDword;
  V.Number = static_cast<uint32_t>(Value);
  Put(*FDocument, FFileName, V);
}

std::string TRegistryFile::ReadString(const std::string& Name) {
  const TKeyDocument::TValue* V = FDocument->Find(Name);
  if (!V) return "";
  if (V->Kind != TKeyDocument::vkText) throw ERegistryException(ValueError("Invalid data type for '%s'", Name));
  return V->Text;
}

int32_t TRegistryFile::ReadInteger(const std::string& Name) {
  const TKeyDocument::TValue* V = FDocument->Find(Name);
  // A value wider than the 4 bytes asked for cannot be fetched at all, as in the registry.
  if (!V || V->Kind == TKeyDocument::vkQword)
    throw ERegistryException(ValueError("Failed to get data for '%s'", Name));
  if (V->Kind != TKeyDocument::vkDword) throw ERegistryException(ValueError("Invalid data type for '%s'", Name));
  return static_cast<int32_t>(static_cast<uint32_t>(V->Number));
}
