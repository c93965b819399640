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

#include "features/TopRowButton.h"
#include "features/sheet/ProjectSheet.h"
#include "features/sheet/SheetFile.h"
#include "shell/Dialogs.h"
#include "shell/VaroApplication.h"
#include "window/ProjectHost.h"
#include "window/UMain.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

TDialogs::TFileDialog PdfDialog() { return {Text("Kat Sayfası Kaydet (PDF)"), Text("PDF Belgesi (*.pdf)"), "pdf"}; }
TDialogs::TFileDialog PngDialog() { return {Text("Kat Sayfası Kaydet (PNG)"), Text("PNG Resmi (*.png)"), "png"}; }

}  // namespace

TProjectSheet::TProjectSheet(TProjectHost& host) : QObject(&host), Host_(host) {
  setObjectName("ProjectSheet");
  QWidget* window = host.Window();
  SheetButton = AddTopRowButton(window, "SheetButton", {560, 2, 26, 27}, "sheet", "KAT SAYFASI: PDF, PNG, YAZDIR (Ctrl+P)");
  SheetButton->setPopupMode(QToolButton::InstantPopup);
  // The menu arrow would cover the glyph of so small a button.
  SheetButton->setStyleSheet("QToolButton::menu-indicator { image: none; width: 0px; }");
  auto* menu = new QMenu(SheetButton);
  menu->setObjectName("SheetMenu");
  connect(menu->addAction(Text("PDF olarak kaydet...")), &QAction::triggered, this, &TProjectSheet::SaveSheetPdf);
  connect(menu->addAction(Text("PNG olarak kaydet...")), &QAction::triggered, this, &TProjectSheet::SaveSheetPng);
  QAction* print = menu->addAction(Text("Yazdır..."));
  print->setShortcut(QKeySequence::Print);
  print->setShortcutContext(Qt::WindowShortcut);
  window->addAction(print);
  connect(print, &QAction::triggered, this, &TProjectSheet::PrintSheet);
  SheetButton->setMenu(menu);

  PrintDialog_ = [window](QPrinter& printer) {
    QPrintDialog dialog(&printer, window);
    dialog.setWindowTitle(Text("Kat Sayfasını Yazdır"));
    return dialog.exec() == QDialog::Accepted;
  };
}

TSheet TProjectSheet::CurrentSheet() const {
  const varo::ProjectState project = Host_.Project();
  TSheet sheet;
  sheet.Frames = project.Frames;
  sheet.Facts.FirstFloor = Host_.FirstFloor();
  sheet.Facts.FrameCount = static_cast<int>(project.Frames.size());
  sheet.Facts.CodeSystem = project.CodeSystem;
  sheet.Facts.Buzzer = project.Buzzer;
  sheet.Facts.Date = QDate::currentDate().toString("dd.MM.yyyy").toStdString();
  // The project's file is named only in the title, after a save or an open.
  const QString title = QString::fromStdString(project.Title);
  const QString prefix = QString::fromUtf8(MainTitle) + " - ";
  if (title.startsWith(prefix)) sheet.Facts.FileName = QFileInfo(title.mid(prefix.size())).fileName().toStdString();
  return sheet;
}

void TProjectSheet::SaveSheetPdf() {
  const std::optional<QString> path = Host_.Dialogs().ChooseSaveFile(PdfDialog());
  if (!path) return;
  const QString error = WriteSheetPdf(*path, CurrentSheet());
  if (!error.isEmpty()) Host_.Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), error);
}

void TProjectSheet::SaveSheetPng() {
  const std::optional<QString> path = Host_.Dialogs().ChooseSaveFile(PngDialog());
  if (!path) return;
  const QString error = WriteSheetPng(*path, CurrentSheet());
  if (!error.isEmpty()) Host_.Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), error);
}

void TProjectSheet::PrintSheet() {
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
    Host_.Dialogs().ShowError(QString::fromUtf8(ApplicationTitle),
                        Text("Kat sayfası bu kağıda sığmıyor; hiçbir şey yazdırılmadı. A4 kağıt seçin."));
    return;
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    Host_.Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), Text("Yazıcı başlatılamadı; hiçbir şey yazdırılmadı."));
    return;
  }
  PaintSheet(painter, pageMm, sheet);
}
