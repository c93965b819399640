// Parsing and writing a key's values in the registry's export form, one per line.
#include "KeyDocument.h"

#include <cstdio>

#include "ComStore.h"
#include "StoreFile.h"

namespace {

const char Header[] = "; Settings key: one value a line, \"Name\"=\"text\" or \"Name\"=dword:<8 hex digits>";

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

std::string Quote(const std::string& S) {
  std::string Out = "\"";
  for (char C : S) {
    const unsigned char U = static_cast<unsigned char>(C);
    if (C == '\\' || C == '"') {
      Out += '\\';
      Out += C;
    } else if (U < 0x20 || U == 0x7F) {
      char Hex[5];
      std::snprintf(Hex, sizeof Hex, "\\x%02x", U);
      Out += Hex;
    } else {
      Out += C;
    }
  }
  return Out + '"';
}

std::string Line(const TKeyDocument::TValue& V) {
  char Hex[24];
  if (V.Kind == TKeyDocument::vkText) return Quote(V.Name) + "=" + Quote(V.Text);
  if (V.Kind == TKeyDocument::vkDword)
    std::snprintf(Hex, sizeof Hex, "dword:%08x", static_cast<unsigned>(V.Number));
  else
    std::snprintf(Hex, sizeof Hex, "qword:%016llx", static_cast<unsigned long long>(V.Number));
  return Quote(V.Name) + "=" + Hex;
}

// Reads the quoted text at Pos, leaving Pos after the closing quote; false when malformed.
bool Unquote(const std::string& S, size_t& Pos, std::string& Out) {
  if (Pos >= S.size() || S[Pos] != '"') return false;
  for (++Pos; Pos < S.size(); ++Pos) {
    const char C = S[Pos];
    if (C == '"') {
      ++Pos;
      return true;
    }
    if (C != '\\') {
      Out += C;
      continue;
    }
    if (++Pos >= S.size()) return false;
    if (S[Pos] == '\\' || S[Pos] == '"') {
      Out += S[Pos];
    } else if (S[Pos] == 'x' && Pos + 2 < S.size() && HexDigit(S[Pos + 1]) >= 0 && HexDigit(S[Pos + 2]) >= 0) {
      Out += static_cast<char>(HexDigit(S[Pos + 1]) * 16 + HexDigit(S[Pos + 2]));
      Pos += 2;
    } else {
      return false;
    }
  }
  return false;
}

bool ParseNumber(const std::string& Digits, size_t MaxDigits, uint64_t& Number) {
  if (Digits.empty() || Digits.size() > MaxDigits) return false;
  Number = 0;
  for (char C : Digits) {
    const int D = HexDigit(C);
    if (D < 0) return false;
    Number = Number * 16 + static_cast<uint64_t>(D);
  }
  return true;
}

std::string TrimBlanks(const std::string& S) {
  const size_t B = S.find_first_not_of(" \t");
  if (B == std::string::npos) return "";
  return S.substr(B, S.find_last_not_of(" \t") - B + 1);
}

}  // namespace

TKeyDocument::TKeyDocument(const std::string& Text, std::string FileName) : FFileName(std::move(FileName)) {
  cport_store::ForEachLine(Text, 0, [this](std::string Raw, size_t Number) {
    auto Fail = [&](const std::string& Problem) {
      throw ERegistryException("Settings key file '" + FFileName + "', line " + std::to_string(Number) + ": " +
                               Problem);
    };
    if (Raw.find('\0') != std::string::npos) Fail("a NUL byte; this is not a text file");
    const std::string L = TrimBlanks(Raw);
    if (L.empty() || L[0] == ';') {
      FLines.push_back({false, Raw, {}});
      return;
    }
    TValue V;
    size_t At = 0;
    if (!Unquote(L, At, V.Name)) Fail("a value must start with its name in double quotes");
    while (At < L.size() && (L[At] == ' ' || L[At] == '\t')) ++At;
    if (At >= L.size() || L[At] != '=') Fail("'=' must follow the value's name");
    const std::string Data = TrimBlanks(L.substr(At + 1));
    size_t DataAt = 0;
    const std::string Kind = Data.substr(0, 6);
    if (!Data.empty() && Data[0] == '"') {
      if (!Unquote(Data, DataAt, V.Text) || DataAt != Data.size()) Fail("the text value is not closed properly");
    } else if (cport_store::SameText(Kind, "dword:")) {
      V.Kind = vkDword;
      if (!ParseNumber(Data.substr(6), 8, V.Number)) Fail("dword: must be followed by 1 to 8 hex digits");
    } else if (cport_store::SameText(Kind, "qword:")) {
      V.Kind = vkQword;
      if (!ParseNumber(Data.substr(6), 16, V.Number)) Fail("qword: must be followed by 1 to 16 hex digits");
    } else {
      Fail("a value must be \"text\", dword:<hex> or qword:<hex>");
    }
    if (!FIndex.emplace(Key(V.Name), FLines.size()).second) Fail("the value '" + V.Name + "' is given twice");
    FLines.push_back({true, Raw, V});
  });
}

std::string TKeyDocument::Key(const std::string& Name) {
  std::string Upper = Name;
  for (char& C : Upper)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Upper;
}

const TKeyDocument::TValue* TKeyDocument::Find(const std::string& Name) const {
  const auto It = FIndex.find(Key(Name));
  return It == FIndex.end() ? nullptr : &FLines[It->second].Value;
}

bool TKeyDocument::Set(const TValue& Value) {
  const auto It = FIndex.find(Key(Value.Name));
  if (It != FIndex.end()) {
    TLine& L = FLines[It->second];
    if (L.Value.Kind == Value.Kind && L.Value.Text == Value.Text && L.Value.Number == Value.Number) return false;
    L.Value.Kind = Value.Kind;
    L.Value.Text = Value.Text;
    L.Value.Number = Value.Number;
    L.Raw = Line(L.Value);  // the name keeps the spelling it has in the file
    return true;
  }
  if (FLines.empty()) FLines.push_back({false, Header, {}});
  FIndex.emplace(Key(Value.Name), FLines.size());
  FLines.push_back({true, Line(Value), Value});
  return true;
}

std::string TKeyDocument::Text() const {
  std::string Out;
  for (const TLine& L : FLines) Out += L.Raw + "\n";
  return Out;
}
