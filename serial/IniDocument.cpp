// Parsing and editing ini text: sections, key=value lines, comments kept as they are.
#include "IniDocument.h"

#include "ComStore.h"
#include "StoreFile.h"

namespace {

const char ByteOrderMark[] = "\xEF\xBB\xBF";

bool Blank(char C) { return C == ' ' || C == '\t'; }

std::string Trim(const std::string& S) {
  size_t B = 0, E = S.size();
  while (B < E && Blank(S[B])) ++B;
  while (E > B && Blank(S[E - 1])) --E;
  return S.substr(B, E - B);
}

bool Quoted(const std::string& S) { return S.size() >= 2 && S.front() == '"' && S.back() == '"'; }

bool HasLineBreakOrNul(const std::string& S) { return S.find_first_of(std::string("\r\n\0", 3)) != std::string::npos; }

// Blanks at either end would be trimmed away and a quoted value unquoted: quote such values.
std::string Encoded(const std::string& Value) {
  if (Value.empty() || (!Blank(Value.front()) && !Blank(Value.back()) && !Quoted(Value))) return Value;
  return '"' + Value + '"';
}

}  // namespace

TIniDocument::TIniDocument(const std::string& Text, std::string FileName) : FFileName(std::move(FileName)) {
  size_t Pos = 0;
  if (Text.compare(0, 3, ByteOrderMark) == 0) {
    FByteOrderMark = true;
    Pos = 3;
  }
  const size_t FirstEnd = Text.find('\n', Pos);
  if (FirstEnd != std::string::npos && FirstEnd > Pos && Text[FirstEnd - 1] == '\r') FLineEnd = "\r\n";
  cport_store::ForEachLine(Text, Pos, [this](std::string Raw, size_t Number) {
    auto Fail = [&](const std::string& Problem) {
      throw EIniFileException("Ini file '" + FFileName + "', line " + std::to_string(Number) + ": " + Problem);
    };
    if (Raw.find('\0') != std::string::npos) Fail("a NUL byte; this is not a text file");
    const std::string Line = Trim(Raw);
    if (Line.empty() || Line[0] == ';' || Line[0] == '#') {
      FLines.push_back({lkOther, Raw, {}, {}});
    } else if (Line[0] == '[') {
      if (Line.back() != ']') Fail("a section header without its closing ']'");
      FLines.push_back({lkSection, Raw, Trim(Line.substr(1, Line.size() - 2)), {}});
    } else {
      const size_t Equals = Line.find('=');
      if (Equals == std::string::npos) Fail("neither a section header, a key=value line nor a comment");
      const std::string Key = Trim(Line.substr(0, Equals));
      if (Key.empty()) Fail("'=' without a key before it");
      std::string Value = Trim(Line.substr(Equals + 1));
      if (Quoted(Value)) Value = Value.substr(1, Value.size() - 2);
      FLines.push_back({lkKey, Raw, Key, Value});
    }
  });
}

bool TIniDocument::FindSection(const std::string& Section, size_t& Header) const {
  if (Section.empty()) {
    Header = FLines.size();
    return true;
  }
  for (size_t I = 0; I < FLines.size(); ++I)
    if (FLines[I].Kind == lkSection && cport_store::SameText(FLines[I].Name, Section)) {
      Header = I;
      return true;
    }
  return false;
}

size_t TIniDocument::SectionEnd(size_t Header) const {
  size_t I = Header == FLines.size() ? 0 : Header + 1;
  while (I < FLines.size() && FLines[I].Kind != lkSection) ++I;
  return I;
}

bool TIniDocument::Find(const std::string& Section, const std::string& Ident, std::string& Value) const {
  size_t Header = 0;
  if (!FindSection(Section, Header)) return false;
  const size_t Begin = Header == FLines.size() ? 0 : Header + 1;
  for (size_t I = Begin, End = SectionEnd(Header); I < End; ++I)
    if (FLines[I].Kind == lkKey && cport_store::SameText(FLines[I].Name, Ident)) {
      Value = FLines[I].Value;
      return true;
    }
  return false;
}

bool TIniDocument::Set(const std::string& Section, const std::string& Ident, const std::string& Value) {
  auto Refuse = [&](const std::string& Problem) {
    throw EIniFileException("Ini file '" + FFileName + "': cannot store [" + Section + "] " + Ident + ": " +
                            Problem);
  };
  if (Section.empty() || Trim(Section) != Section || HasLineBreakOrNul(Section))
    Refuse("a section name must be one line, not empty, without blanks at either end");
  if (Ident.empty() || Trim(Ident) != Ident || HasLineBreakOrNul(Ident) || Ident.find('=') != std::string::npos ||
      Ident[0] == '[' || Ident[0] == ';' || Ident[0] == '#')
    Refuse("a key must be one line without '=', blanks at either end or a leading '[', ';' or '#'");
  if (HasLineBreakOrNul(Value)) Refuse("the value holds a line break or a NUL byte");

  size_t Header = 0;
  if (!FindSection(Section, Header)) {
    if (!FLines.empty() && !Trim(FLines.back().Raw).empty()) FLines.push_back({lkOther, "", {}, {}});
    FLines.push_back({lkSection, "[" + Section + "]", Section, {}});
    FLines.push_back({lkKey, Ident + "=" + Encoded(Value), Ident, Value});
    return true;
  }
  const size_t End = SectionEnd(Header);
  size_t Insert = Header + 1;
  for (size_t I = Header + 1; I < End; ++I) {
    TLine& L = FLines[I];
    if (L.Kind != lkKey) continue;
    if (cport_store::SameText(L.Name, Ident)) {
      if (L.Value == Value) return false;
      L.Raw = L.Name + "=" + Encoded(Value);
      L.Value = Value;
      return true;
    }
    Insert = I + 1;
  }
  FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(Insert), {lkKey, Ident + "=" + Encoded(Value), Ident, Value});
  return true;
}

std::string TIniDocument::Text() const {
  std::string Out = FByteOrderMark ? ByteOrderMark : "";
  for (const TLine& L : FLines) Out += L.Raw + FLineEnd;
  return Out;
}
