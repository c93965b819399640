// What the settings stores share: whole files read and replaced atomically, name matching.
#include "StoreFile.h"

namespace cport_store {

void ForEachLine(const std::string& Text, size_t Start, const std::function<void(std::string Line, size_t Number)>& Each) {
  for (size_t Pos = Start, Number = 1; Pos < Text.size(); ++Number) {
    size_t End = Text.find('\n', Pos);
    if (End == std::string::npos) End = Text.size();
    std::string Line = Text.substr(Pos, End - Pos);
    Pos = End + 1;
    while (!Line.empty() && Line.back() == '\r') Line.pop_back();
    Each(std::move(Line), Number);
  }
}

bool SameText(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (size_t I = 0; I < A.size(); ++I) {
    char X = A[I], Y = B[I];
    if (X >= 'a' && X <= 'z') X = static_cast<char>(X - 'a' + 'A');
    if (Y >= 'a' && Y <= 'z') Y = static_cast<char>(Y - 'a' + 'A');
    if (X != Y) return false;
  }
  return true;
}

}  // namespace cport_store
