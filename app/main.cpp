// Program entry: the application titled "VARO PROGRAMMER" and its one window.
#include <QCommandLineParser>

#include "StartUp.h"
#include "UMain.h"
#include "VaroApplication.h"

int main(int argc, char** argv) {
  const TVaroStartUp startUp;
  TVaroApplication app(argc, argv);
  const TBuiltInTexts builtInTexts(startUp.Language());
  QCommandLineParser options;
  const QCommandLineOption port("port", "Use PATH as the port name, as if typed into the port box.", "PATH");
  options.addOption(port);
  options.process(app);

  TFmMain window;
  app.SetErrorDisplay([&window](const QString& message) {
    window.Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), message);
  });
  if (options.isSet(port)) window.TypePortName(options.value(port));
  window.show();
  return app.exec();
}
