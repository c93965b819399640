#pragma once
// Label boxes: upper-cases as the user types (the Turkish way) and lets
// through only what the label font can draw, at most `maxLength` characters.
#include <QValidator>

class TLabelValidator : public QValidator {
 public:
  TLabelValidator(int maxLength, QObject* parent) : QValidator(parent), MaxLength_(maxLength) {}
  State validate(QString& input, int& position) const override;

 private:
  int MaxLength_;
};
