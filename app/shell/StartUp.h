#pragma once
// What the program sets up before its application object and window, and undoes after them.
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>
#include <string>

#include "shell/ResourceTextTranslator.h"

// The translation service with "cport" among the domains for built-in texts, then the serial
// component's error texts built translated. The destructor frees the texts, then the service.
// A catalog that fails to translate a serial text is reported on stderr and leaves the English
// text, so a broken catalog never keeps the program from starting.
class TVaroStartUp {
 public:
  // Catalogs under catalogFolder; empty: locale/ beside the program.
  explicit TVaroStartUp(const std::string& catalogFolder = {});
  ~TVaroStartUp();
  TVaroStartUp(const TVaroStartUp&) = delete;
  TVaroStartUp& operator=(const TVaroStartUp&) = delete;

  // The language the translation service chose, e.g. "tr_TR", "C" or a list such as "de:tr".
  std::string Language() const;
};

// Qt's own texts (standard buttons, file dialogs) in the given language while it lives: Qt's
// translation for the language where installed, and over it the message catalogs for the texts
// they translate. Needs the application object.
class TBuiltInTexts {
 public:
  explicit TBuiltInTexts(const std::string& language,
                         const QString& qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  TBuiltInTexts(const TBuiltInTexts&) = delete;
  TBuiltInTexts& operator=(const TBuiltInTexts&) = delete;

  bool QtTranslationLoaded() const { return QtLoaded_; }

 private:
  // Qt asks the translator installed last first, so the catalogs come after Qt's own.
  QTranslator Qt_;
  TResourceTextTranslator Catalogs_;
  bool QtLoaded_ = false;
};
