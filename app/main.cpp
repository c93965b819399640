// Program entry: the application titled "VARO PROGRAMMER" and its one window.
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

#include "StartUp.h"
#include "UMain.h"
#include "VaroApplication.h"

namespace {

QString OptionText(const char* text) { return QCoreApplication::translate("varo-programmer", text); }

struct TOptions {
  TOptions() {
    Parser.setApplicationDescription(OptionText("Programs VARO elevator floor indicators over a serial line."));
    Parser.addOption(Port);
  }
  QCommandLineParser Parser;
  const QCommandLineOption Help = Parser.addHelpOption();
  const QCommandLineOption Version = Parser.addVersionOption();
  const QCommandLineOption Port{
      "port", OptionText("Put PATH into the port box as if typed, e.g. /dev/ttyUSB0 or a simulated indicator."),
      "PATH"};
};

// Help and version are answered without the window system, so they work where there is no display.
bool AsksForHelpOrVersion(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  TOptions options;
  return options.Parser.parse(arguments) &&
         (options.Parser.isSet(options.Help) || options.Parser.isSet(options.Version));
}

// Shows help or version and ends the program; a mistake on the command line ends it with status 2.
void AnswerOptions(TOptions& options, const QStringList& arguments) {
  QString error;
  if (!options.Parser.parse(arguments))
    error = options.Parser.errorText();
  else if (!options.Parser.positionalArguments().isEmpty())
    error = OptionText("Unexpected argument '%1'.").arg(options.Parser.positionalArguments().first());
  if (!error.isEmpty()) {
    std::fprintf(stderr, "varo-programmer: %s\nTry 'varo-programmer --help' for more information.\n",
                 qPrintable(error));
    std::exit(2);
  }
  if (options.Parser.isSet(options.Help)) options.Parser.showHelp();
  if (options.Parser.isSet(options.Version)) options.Parser.showVersion();
}

}  // namespace

int main(int argc, char** argv) {
  const TVaroStartUp startUp;
  QCoreApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
  QCoreApplication::setApplicationVersion(QStringLiteral(VARO_VERSION));
  if (AsksForHelpOrVersion(argc, argv)) {
    const QCoreApplication app(argc, argv);
    const TBuiltInTexts builtInTexts(startUp.Language());
    TOptions options;
    AnswerOptions(options, app.arguments());
  }

  TVaroApplication app(argc, argv);
  const TBuiltInTexts builtInTexts(startUp.Language());
  TOptions options;
  AnswerOptions(options, app.arguments());

  TFmMain window;
  app.SetErrorDisplay([&window](const QString& message) {
    window.Dialogs().ShowError(QString::fromUtf8(ApplicationTitle), message);
  });
  if (options.Parser.isSet(options.Port)) window.TypePortName(options.Parser.value(options.Port));
  window.show();
  return app.exec();
}
