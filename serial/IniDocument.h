// The lines of an ini file as text, read and edited in memory (internal to TIniFile).
#pragma once

#include <string>
#include <vector>

class TIniDocument {
 public:
  TIniDocument() = default;
  // Throws EIniFileException, naming FileName and the line, for text that is no ini file.
  TIniDocument(const std::string& Text, std::string FileName);

  // The value of the first matching key in the first matching section.
  bool Find(const std::string& Section, const std::string& Ident, std::string& Value) const;
  // Sets a value, adding the key or the section when missing; false when it had that value.
  // Throws EIniFileException for a name or value that an ini line cannot hold.
  bool Set(const std::string& Section, const std::string& Ident, const std::string& Value);
  // The whole file, every line ended with the file's own line end.
  std::string Text() const;

 private:
  enum TKind { lkOther, lkSection, lkKey };
  struct TLine {
    TKind Kind;
    std::string Raw;   // the line as in the file
    std::string Name;  // section or key
    std::string Value;
  };
  // Index of the section's header, Lines.size() for the lines before any header (Section "").
  bool FindSection(const std::string& Section, size_t& Header) const;
  size_t SectionEnd(size_t Header) const;

  std::string FFileName;
  std::vector<TLine> FLines;
  bool FByteOrderMark = false;
  std::string FLineEnd = "\n";
};
