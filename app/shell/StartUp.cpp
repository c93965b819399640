#include "shell/StartUp.h"

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

TVaroStartUp::TVaroStartUp(const std::string& catalogFolder) {
  StartGnuGettext(catalogFolder);
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
  // The catalogs' order: the first language of the list that Qt has a translation for.
  for (const std::string& each : LanguageList(language)) {
    if (Qt_.load(QStringLiteral("qtbase_") + QString::fromStdString(each), qtTranslations)) {
      QtLoaded_ = QCoreApplication::installTranslator(&Qt_);
      break;
    }
  }
  QCoreApplication::installTranslator(&Catalogs_);
}
