// Program entry: the application titled "VARO PROGRAMMER" and its one window.
#include "StartUp.h"
#include "UMain.h"
#include "VaroApplication.h"

int main(int argc, char** argv) {
  const TVaroStartUp startUp;
  TVaroApplication app(argc, argv);
  const TBuiltInTexts builtInTexts(startUp.Language());
  TFmMain window;
  app.SetErrorDisplay([&window](const QString& message) {
    window.Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), message);
  });
  window.show();
  return app.exec();
}
