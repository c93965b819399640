#include "LabelValidator.h"

#include "core/LabelFont.h"

QValidator::State TLabelValidator::validate(QString& input, int&) const {
  const QList<uint> ucs = input.toUcs4();
  const std::u32string upper = varo::UpperCaseLabel(std::u32string(ucs.begin(), ucs.end()));
  if (static_cast<int>(upper.size()) > MaxLength_ || !varo::UndrawableCharacters(upper).empty()) return Invalid;
  input = QString::fromUcs4(upper.data(), static_cast<qsizetype>(upper.size()));
  return Acceptable;
}
