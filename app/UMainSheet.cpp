// The project sheet of the "KAT SAYFASI" menu: an A4 page with the floor
// range, code system, buzzer, date and every floor's drawing, saved as PDF
// or PNG or printed through the system's print dialog.
#include <QAction>
#include <QDate>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolButton>
#include <stdexcept>

#include "SheetFile.h"
#include "UMain.h"
#include "VaroApplication.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

TDialogs::TFileDialog PdfDialog() { return {Text("Kat Sayfası Kaydet (PDF)"), Text("PDF Belgesi (*.pdf)"), "pdf"}; }
TDialogs::TFileDialog PngDialog() { return {Text("Kat Sayfası Kaydet (PNG)"), Text("PNG Resmi (*.png)"), "png"}; }

}  // namespace

void TFmMain::SetUpSheet() {
  SheetButton = AddTopRowButton("SheetButton", {560, 2, 26, 27}, "sheet", "KAT SAYFASI: PDF, PNG, YAZDIR (Ctrl+P)");
  SheetButton->setPopupMode(QToolButton::InstantPopup);
  // The menu arrow would cover the glyph of so small a button.
  SheetButton->setStyleSheet("QToolButton::menu-indicator { image: none; width: 0px; }");
  auto* menu = new QMenu(SheetButton);
  menu->setObjectName("SheetMenu");
  connect(menu->addAction(Text("PDF olarak kaydet...")), &QAction::triggered, this, &TFmMain::SaveSheetPdf);
  connect(menu->addAction(Text("PNG olarak kaydet...")), &QAction::triggered, this, &TFmMain::SaveSheetPng);
  QAction* print = menu->addAction(Text("Yazdır..."));
  print->setShortcut(QKeySequence::Print);
  print->setShortcutContext(Qt::WindowShortcut);
  addAction(print);
  connect(print, &QAction::triggered, this, &TFmMain::PrintSheet);
  SheetButton->setMenu(menu);

  PrintDialog_ = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(Text("Kat Sayfasını Yazdır"));
    return dialog.exec() == QDialog::Accepted;
  };
}

TSheet TFmMain::CurrentSheet() const {
  TSheet sheet;
  sheet.Frames = FrameTable;
  sheet.Facts.FirstFloor = TableRange_.FirstFloorIndex + varo::MinFloor;
  sheet.Facts.FrameCount = static_cast<int>(FrameTable.size());
  sheet.Facts.CodeSystem = CodeSystem;
  sheet.Facts.Buzzer = CheckBox1->isChecked();
  sheet.Facts.Date = QDate::currentDate().toString("dd.MM.yyyy").toStdString();
  // The project's file is named only in the title, after a save or an open.
  const QString prefix = QString::fromUtf8(MainTitle) + " - ";
  if (windowTitle().startsWith(prefix))
    sheet.Facts.FileName = QFileInfo(windowTitle().mid(prefix.size())).fileName().toStdString();
  return sheet;
}

void TFmMain::SaveSheetPdf() {
  const std::optional<QString> path = Dialogs().ChooseSaveFile(PdfDialog());
  if (!path) return;
  const QString error = WriteSheetPdf(*path, CurrentSheet());
  if (!error.isEmpty()) Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), error);
}

void TFmMain::SaveSheetPng() {
  const std::optional<QString> path = Dialogs().ChooseSaveFile(PngDialog());
  if (!path) return;
  const QString error = WriteSheetPng(*path, CurrentSheet());
  if (!error.isEmpty()) Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), error);
}

void TFmMain::PrintSheet() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setDocName(Text(SheetHeading));
  if (!PrintDialog_(printer)) return;
  // The sheet keeps margins of its own, whatever the printer's are.
  printer.setFullPage(true);
  const QSizeF pageMm = printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
  const TSheet sheet = CurrentSheet();
  try {
    SheetLayoutFor(pageMm, sheet);
  } catch (const std::invalid_argument&) {
    Dialogs().ShowError(QString::fromUtf8(ApplicationTitle),
                        Text("Kat sayfası bu kağıda sığmıyor; hiçbir şey yazdırılmadı. A4 kağıt seçin."));
    return;
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), Text("Yazıcı başlatılamadı; hiçbir şey yazdırılmadı."));
    return;
  }
  PaintSheet(painter, pageMm, sheet);
}
