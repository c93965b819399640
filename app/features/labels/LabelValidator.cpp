#include "features/labels/LabelValidator.h"

#include <QLineEdit>
#include <QToolTip>

#include "core/LabelFont.h"

TLabelValidator::TLabelValidator(int maxLength, QLineEdit* edit)
    : QValidator(edit), MaxLength_(maxLength), Edit_(edit) {
  edit->setValidator(this);
}

QString TLabelValidator::RefusedHint(const QString& characters) {
  return QStringLiteral("Etiket bunu çizemez: %1\nHarfler (Ç Ğ İ Ö Ş Ü dahil), rakamlar, boşluk ve - + / \\ * _ = ( ) < > ' \"")
      .arg(characters);
}

QValidator::State TLabelValidator::validate(QString& input, int&) const {
  const QList<uint> ucs = input.toUcs4();
  const std::u32string upper = varo::UpperCaseLabel(std::u32string(ucs.begin(), ucs.end()));
  const std::u32string refused = varo::UndrawableCharacters(upper);
  if (!refused.empty()) {
    // Said where the typing goes on, rather than dropping the key without a word.
    QToolTip::showText(Edit_->mapToGlobal(QPoint(0, Edit_->height())),
                       RefusedHint(QString::fromUcs4(refused.data(), static_cast<qsizetype>(refused.size()))), Edit_);
    return Invalid;
  }
  if (static_cast<int>(upper.size()) > MaxLength_) return Invalid;
  input = QString::fromUcs4(upper.data(), static_cast<qsizetype>(upper.size()));
  return Acceptable;
}
