#include "features/labels/SeveralFloorsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <tuple>

#include "features/labels/LabelValidator.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QString FromU32(const std::u32string& s) { return QString::fromUcs4(s.data(), static_cast<qsizetype>(s.size())); }
std::u32string ToU32(const QString& s) {
  const QList<uint> ucs = s.toUcs4();
  return {ucs.begin(), ucs.end()};
}

QLineEdit* LabelBox(int maxLength, const char* text, QWidget* parent) {
  auto* edit = new QLineEdit(Text(text), parent);
  edit->setMaxLength(maxLength);
  new TLabelValidator(maxLength, edit);
  edit->setFixedWidth(40);
  edit->setAlignment(Qt::AlignRight);
  return edit;
}

}  // namespace

TSeveralFloorsDialog::TSeveralFloorsDialog(int firstFloor, int frameCount, QWidget* parent)
    : QDialog(parent), FirstFloor_(firstFloor), LastFloor_(firstFloor + frameCount - 1) {
  setWindowTitle(Text("ÇOK KATA ETİKET"));
  BasementBox = new QCheckBox(Text("Eksi katlar: önek ve kat numarası"), this);
  PrefixEdit = LabelBox(1, "B", this);
  GroundBox = new QCheckBox(Text("Zemin kat (0):"), this);
  GroundEdit = LabelBox(varo::MaxLabelLength, "Z", this);
  Preview = new QLabel(this);
  Preview->setWordWrap(true);
  Preview->setMinimumWidth(260);
  auto* buttons = new QDialogButtonBox(this);
  OkButton = buttons->addButton(Text("TAMAM"), QDialogButtonBox::AcceptRole);
  buttons->addButton(Text("İPTAL"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout(this);
  grid->addWidget(BasementBox, 0, 0);
  grid->addWidget(PrefixEdit, 0, 1);
  grid->addWidget(GroundBox, 1, 0);
  grid->addWidget(GroundEdit, 1, 1);
  grid->addWidget(Preview, 2, 0, 1, 2);
  grid->addWidget(buttons, 3, 0, 1, 2);

  const bool hasBasement = firstFloor < 0 && frameCount > 0;
  const bool hasGround = firstFloor <= 0 && LastFloor_ >= 0;
  for (auto [box, edit, applies, why] :
       {std::tuple{BasementBox, PrefixEdit, hasBasement, "Bu aralıkta eksi kat yok."},
        std::tuple{GroundBox, GroundEdit, hasGround, "Bu aralıkta 0. kat yok."}}) {
    box->setChecked(applies);
    box->setEnabled(applies);
    edit->setEnabled(applies);
    if (!applies) box->setToolTip(Text(why));
    connect(box, &QCheckBox::toggled, edit, &QLineEdit::setEnabled);
    connect(box, &QCheckBox::toggled, this, &TSeveralFloorsDialog::ShowPreview);
    connect(edit, &QLineEdit::textChanged, this, &TSeveralFloorsDialog::ShowPreview);
  }
  ShowPreview();
}

varo::SeveralFloorsLabels TSeveralFloorsDialog::Labels() const {
  varo::SeveralFloorsLabels labels;
  if (BasementBox->isEnabled() && BasementBox->isChecked()) labels.BasementPrefix = ToU32(PrefixEdit->text());
  if (GroundBox->isEnabled() && GroundBox->isChecked() && !GroundEdit->text().isEmpty())
    labels.GroundLabel = ToU32(GroundEdit->text());
  return labels;
}

void TSeveralFloorsDialog::ShowPreview() {
  const varo::SeveralFloorsLabels labels = Labels();
  if (labels.BasementPrefix && labels.BasementPrefix->empty()) {
    // Without a prefix floor -8 would read "8", as the eighth floor above ground.
    Preview->setText(Text("Önek boş: eksi katlar artı katlarla karışır (-1 → 1). Bir önek yazın ya da eksi katları "
                          "kaldırın."));
    OkButton->setEnabled(false);
    return;
  }
  // Spaces that do not break inside an entry: the preview wraps between floors only.
  const QString arrow = QStringLiteral("\u00A0→\u00A0");
  QStringList parts;
  if (labels.BasementPrefix)
    for (int floor = FirstFloor_; floor < 0 && floor <= LastFloor_; ++floor)
      parts << QString("%1%2%3%4").arg(floor).arg(arrow, FromU32(*labels.BasementPrefix)).arg(-floor);
  if (labels.GroundLabel) parts << "0" + arrow + FromU32(*labels.GroundLabel);
  Preview->setText(parts.isEmpty() ? Text("Hiçbir kat değişmez.") : parts.join("   "));
  OkButton->setEnabled(!parts.isEmpty());
}
