#pragma once
// Qt's own texts through the message catalogs' domains for built-in texts.
#include <QTranslator>
#include <mutex>
#include <set>
#include <string>

// Installed on the application, it hands every text Qt asks for to TranslateResourceText. A text
// no catalog translates gives a null string, so the translators installed before get their turn.
// Catalog failures are reported once each as warnings and never reach Qt.
class TResourceTextTranslator : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                    int n = -1) const override;
  bool isEmpty() const override { return false; }

 private:
  void Report(const std::string& problem) const;

  mutable std::mutex ReportedLock_;
  mutable std::set<std::string> Reported_;
};
