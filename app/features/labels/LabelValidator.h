#pragma once
// Label boxes: upper-cases as the user types (the Turkish way) and lets
// through only what the label font can draw, at most `maxLength` characters.
// A character refused for the font is named in a hint beside the box.
#include <QValidator>

class QLineEdit;

class TLabelValidator : public QValidator {
 public:
  // Installs itself on `edit`.
  TLabelValidator(int maxLength, QLineEdit* edit);
  State validate(QString& input, int& position) const override;

  // The hint shown for characters the font cannot draw.
  static QString RefusedHint(const QString& characters);

 private:
  int MaxLength_;
  QLineEdit* Edit_;
};
