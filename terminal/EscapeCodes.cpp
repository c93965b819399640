#include "CPortEsc.h"

#include <climits>

int TEscapeCodes::ParamValue(int Index, const TEscapeParams* Params) {
  if (Params == nullptr || Index < 1 || static_cast<std::size_t>(Index) > Params->size()) {
    return 1;
  }
  const std::string& Text = (*Params)[Index - 1];
  std::size_t Pos = 0;
  bool Negative = false;
  if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) {
    Negative = Text[Pos] == '-';
    ++Pos;
  }
  if (Pos == Text.size()) {
    return 1;
  }
  long long Value = 0;
  for (; Pos < Text.size(); ++Pos) {
    const char Ch = Text[Pos];
    if (Ch < '0' || Ch > '9') {
      return 1;
    }
    Value = Value * 10 + (Ch - '0');
    if (Value > static_cast<long long>(INT_MAX) + 1) {
      return 1;
    }
  }
  if (Negative) {
    Value = -Value;
  }
  if (Value > INT_MAX || Value < INT_MIN) {
    return 1;
  }
  return static_cast<int>(Value);
}
