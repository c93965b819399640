#pragma once
// The project sheet of the "KAT SAYFASI" menu: an A4 page with the floor range, code system,
// buzzer, date and every floor's drawing, saved as PDF or PNG or printed (Ctrl+P).
#include <QObject>
#include <functional>

#include "features/sheet/Sheet.h"

class QPrinter;
class QToolButton;
class TProjectHost;

class TProjectSheet : public QObject {
  Q_OBJECT
 public:
  explicit TProjectSheet(TProjectHost& host);

  QToolButton* SheetButton = nullptr;
  void SaveSheetPdf();
  void SaveSheetPng();
  void PrintSheet();
  // Seam: the system's print dialog; false when the user cancels it.
  using TPrintDialog = std::function<bool(QPrinter&)>;
  void SetPrintDialog(TPrintDialog dialog) { PrintDialog_ = std::move(dialog); }

 private:
  TSheet CurrentSheet() const;
  TProjectHost& Host_;
  TPrintDialog PrintDialog_;
};
