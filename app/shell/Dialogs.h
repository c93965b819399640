#pragma once
// The message boxes and file dialogs of the window, behind one interface so
// that tests can answer them.
#include <QString>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

class TDialogs {
 public:
  enum class TAnswer { Yes, No, Cancel, Retry };
  struct TFileDialog {
    QString Title;
    QString Filter;         // e.g. "VARO Dosyası (*.vrd)"
    QString DefaultSuffix;  // added to a name typed without one
  };

  virtual ~TDialogs() = default;
  // Boxes without an icon; closing the box counts as Cancel.
  virtual TAnswer AskYesNoCancel(const QString& caption, const QString& text) = 0;
  virtual TAnswer AskRetryCancel(const QString& caption, const QString& text) = 0;
  virtual void ShowInfo(const QString& caption, const QString& text) = 0;
  // A box with the error icon.
  virtual void ShowError(const QString& caption, const QString& text) = 0;
  // The full path chosen, or nothing when the dialog was cancelled.
  virtual std::optional<QString> ChooseOpenFile(const TFileDialog& dialog) = 0;
  virtual std::optional<QString> ChooseSaveFile(const TFileDialog& dialog) = 0;
};

class TQtDialogs : public TDialogs {
 public:
  explicit TQtDialogs(QWidget* parent) : Parent_(parent) {}
  TAnswer AskYesNoCancel(const QString& caption, const QString& text) override;
  TAnswer AskRetryCancel(const QString& caption, const QString& text) override;
  void ShowInfo(const QString& caption, const QString& text) override;
  void ShowError(const QString& caption, const QString& text) override;
  std::optional<QString> ChooseOpenFile(const TFileDialog& dialog) override;
  std::optional<QString> ChooseSaveFile(const TFileDialog& dialog) override;

  // The configured dialog the two Choose calls run.
  static std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const TFileDialog& dialog, bool save);

 private:
  QWidget* Parent_;
};
