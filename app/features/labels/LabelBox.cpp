#include "features/labels/LabelBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "core/LabelFont.h"
#include "core/PatternText.h"
#include "features/Shortcut.h"
#include "features/labels/LabelValidator.h"
#include "shell/Dialogs.h"
#include "shell/VaroApplication.h"
#include "window/ProjectHost.h"

namespace {

const char* const PasteRefusedText =
    "Panodaki metin bir kat deseni değil; hiçbir şey değişmedi.\n"
    "Beklenen biçim: dört onaltılık bayt, örneğin \"00 00 FF 00\".";

// The table with the shown frame's pattern replaced; empty when there is no frame shown.
std::vector<varo::SegmentPattern> WithShown(const TProjectHost& host, const varo::SegmentPattern& pattern) {
  std::vector<varo::SegmentPattern> frames = host.Project().Frames;
  const int shown = host.CurrentFrame();
  if (shown < 0 || shown >= static_cast<int>(frames.size())) return {};
  frames[static_cast<size_t>(shown)] = pattern;
  return frames;
}

}  // namespace

TLabelBox::TLabelBox(TProjectHost& host) : QObject(&host), Host_(host) {
  setObjectName("LabelBox");
  LabelEdit = new QLineEdit(host.Window());
  LabelEdit->setObjectName("LabelEdit");
  LabelEdit->setGeometry(458, 4, 40, 24);
  LabelEdit->setMaxLength(varo::MaxLabelLength);
  new TLabelValidator(varo::MaxLabelLength, LabelEdit);
  QFont font = LabelEdit->font();
  font.setBold(true);
  font.setPointSize(11);
  LabelEdit->setFont(font);
  LabelEdit->setAlignment(Qt::AlignRight);
  LabelEdit->setToolTip("ETİKET: en çok 2 karakter yazın, Enter ile kata verin");
  connect(LabelEdit, &QLineEdit::returnPressed, this, &TLabelBox::LabelEditApply);
  AddShortcut(host.Window(), {QKeySequence::Copy}, this, &TLabelBox::CopyFrame);
  AddShortcut(host.Window(), {QKeySequence::Paste}, this, &TLabelBox::PasteFrame);
}

void TLabelBox::LabelEditApply() {
  const QList<uint> ucs = LabelEdit->text().toUcs4();
  const std::u32string text(ucs.begin(), ucs.end());
  if (text.empty()) return;
  std::vector<varo::SegmentPattern> frames = WithShown(Host_, varo::LabelPattern(text));
  if (!frames.empty()) Host_.SetFrames(std::move(frames));
}

void TLabelBox::CopyFrame() {
  const std::vector<varo::SegmentPattern> frames = Host_.Project().Frames;
  const int shown = Host_.CurrentFrame();
  if (shown < 0 || shown >= static_cast<int>(frames.size())) return;
  QGuiApplication::clipboard()->setText(QString::fromStdString(varo::PatternText(frames[static_cast<size_t>(shown)])));
}

void TLabelBox::PasteFrame() {
  const std::optional<varo::SegmentPattern> pattern =
      varo::ParsePatternText(QGuiApplication::clipboard()->text().toStdString());
  if (!pattern) {
    Host_.Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), QString::fromUtf8(PasteRefusedText));
    return;
  }
  std::vector<varo::SegmentPattern> frames = WithShown(Host_, *pattern);
  if (!frames.empty()) Host_.SetFrames(std::move(frames));
}
