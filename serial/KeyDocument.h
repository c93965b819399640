// The values of a registry key kept in a text file, read and edited in memory (internal to
// TRegistryFile).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class TKeyDocument {
 public:
  enum TKind { vkText, vkDword, vkQword };
  struct TValue {
    std::string Name;
    TKind Kind = vkText;
    std::string Text;
    uint64_t Number = 0;
  };

  TKeyDocument() = default;
  // Throws ERegistryException, naming FileName and the line, for text that is no such file.
  TKeyDocument(const std::string& Text, std::string FileName);

  const TValue* Find(const std::string& Name) const;
  // Sets a value in place (or adds it at the end); false when it had that kind and value.
  bool Set(const TValue& Value);
  std::string Text() const;

 private:
  struct TLine {
    bool IsValue;
    std::string Raw;  // comments and blank lines as they were
    TValue Value;
  };
  // The line of each value, by its name upper-cased as names are matched.
  static std::string Key(const std::string& Name);
  std::string FFileName;
  std::vector<TLine> FLines;
  std::unordered_map<std::string, size_t> FIndex;
};
