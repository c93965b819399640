#include "StartUp.h"

#include <QCoreApplication>
#include <cstdio>
#include <exception>

#include "CPort.h"
#include "gnugettext.h"

namespace {

std::string TranslatePortTextOrKeep(const std::string& text) {
  try {
    return TranslateText(text);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return text;
  }
}

}  // namespace

TVaroStartUp::TVaroStartUp() {
  StartGnuGettext();
  AddResourceDomain("cport");
  SetPortTextTranslator(TranslatePortTextOrKeep);
  InitPortErrorTexts();
}

TVaroStartUp::~TVaroStartUp() {
  FreePortErrorTexts();
  StopGnuGettext();
}

std::string TVaroStartUp::Language() const {
  const TGnuGettextInstance* translator = GnuGettext();
  return translator ? translator->CurrentLanguage() : "C";
}

TBuiltInTexts::TBuiltInTexts(const std::string& language, const QString& qtTranslations) {
  QtLoaded_ = Qt_.load(QStringLiteral("qtbase_") + QString::fromStdString(language), qtTranslations) &&
              QCoreApplication::installTranslator(&Qt_);
  QCoreApplication::installTranslator(&Catalogs_);
}
