// Program entry: the application titled "VARO PROGRAMMER" and its one window,
// or, with a device command on the command line, that command without a window.
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "shell/CatalogFolder.h"
#include "shell/ConsoleStop.h"
#include "shell/NativePath.h"
#include "shell/StartUp.h"
#include "window/UMain.h"
#include "shell/VaroApplication.h"
#include "cli/DeviceCommands.h"

namespace {

QString OptionText(const char* text) { return QCoreApplication::translate("varo-programmer", text); }

// Marks a text for the message catalogs; it is translated where it is used.
constexpr const char* gettext_noop(const char* text) { return text; }

const char* const ExitCodesText = gettext_noop(
    "Exit codes of --write, --read, --verify and --show-floors:\n"
    "  0    done\n"
    "  2    wrong command line\n"
    "  3    the port cannot be opened\n"
    "  4    no answer to the handshake (after the retries)\n"
    "  5    the project file cannot be read, written or used; or the indicator's image is refused\n"
    "  6    verify: the indicator holds another image\n"
    "  7    the line failed during the transfer\n"
    "  130  stopped by Ctrl+C");

struct TOptions {
  TOptions() {
    Parser.setApplicationDescription(OptionText("Programs VARO elevator floor indicators over a serial line.") +
                                     "\n\n" + OptionText(ExitCodesText));
    Parser.addOptions({Port, Write, Read, Verify, ShowFloors, Retries, Quiet});
    Parser.addPositionalArgument("FILE.vrd", OptionText("A project to open in the window, as AYAR AÇ does."),
                                 "[FILE.vrd]");
  }
  QCommandLineParser Parser;
  const QCommandLineOption Help = Parser.addHelpOption();
  const QCommandLineOption Version = Parser.addVersionOption();
  const QCommandLineOption Port{
      "port",
      OptionText("The indicator's port, e.g. /dev/ttyUSB0 or a simulated indicator. Without a command, put PATH "
                 "into the port box as if typed."),
      "PATH"};
  // Device commands: no window, results on stdout, progress on stderr.
  const QCommandLineOption Write{"write", OptionText("Write the project FILE.vrd to the indicator."), "FILE.vrd"};
  const QCommandLineOption Read{"read", OptionText("Read the indicator's project and save it as FILE.vrd."),
                                "FILE.vrd"};
  const QCommandLineOption Verify{
      "verify", OptionText("Read the indicator's image and compare it with the project FILE.vrd."), "FILE.vrd"};
  const QCommandLineOption ShowFloors{"show-floors", OptionText("Ask the indicator to show its floor numbers.")};
  const QCommandLineOption Retries{
      "retries", OptionText("Handshakes to try again after the first one goes unanswered (default 3)."), "N", "3"};
  const QCommandLineOption Quiet{"quiet", OptionText("No progress and no notes on stderr; errors still.")};

  int Commands() const {
    int n = 0;
    for (const QCommandLineOption* o : {&Write, &Read, &Verify, &ShowFloors}) n += Parser.isSet(*o);
    return n;
  }
};

// Help, version, mistakes and device commands are answered without the window
// system, so they work where there is no display.
bool RunsWithoutWindow(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  TOptions options;
  // One project file alone is what a double click on it gives: the window opens it.
  return !options.Parser.parse(arguments) || options.Parser.positionalArguments().size() > 1 ||
         options.Parser.isSet(options.Help) || options.Parser.isSet(options.Version) || options.Commands() > 0 ||
         options.Parser.isSet(options.Retries) || options.Parser.isSet(options.Quiet);
}

[[noreturn]] void UsageError(const QString& error) {
  std::fprintf(stderr, "varo-programmer: %s\n%s\n", qUtf8Printable(error),
               qUtf8Printable(OptionText("Try 'varo-programmer --help' for more information.")));
  std::exit(ExitUsage);
}

// Shows help or version and ends the program; a mistake on the command line ends it with status 2.
void AnswerOptions(TOptions& options, const QStringList& arguments) {
  if (!options.Parser.parse(arguments)) UsageError(options.Parser.errorText());
  const QStringList files = options.Parser.positionalArguments();
  if (files.size() > 1) UsageError(OptionText("Give at most one project file to open, not also '%1'.").arg(files[1]));
  if (files.size() == 1 && options.Commands() > 0)
    UsageError(OptionText("A project file goes after its command, as in --write '%1'.").arg(files[0]));
  // Written here rather than by the parser, which on Windows puts them in a message box whenever
  // it finds no console of its own, as for the console twin in cmd.exe.
  if (options.Parser.isSet(options.Help)) {
    std::fputs(qUtf8Printable(options.Parser.helpText()), stdout);
    std::exit(0);
  }
  if (options.Parser.isSet(options.Version)) {
    std::printf("%s %s\n", qUtf8Printable(QCoreApplication::applicationName()),
                qUtf8Printable(QCoreApplication::applicationVersion()));
    std::exit(0);
  }
}

TDeviceRequest DeviceRequest(const TOptions& options) {
  const QCommandLineParser& p = options.Parser;
  if (options.Commands() != 1)
    UsageError(options.Commands() == 0
                   ? OptionText("--retries and --quiet go with --write, --read, --verify or --show-floors.")
                   : OptionText("Give one of --write, --read, --verify and --show-floors."));
  if (!p.isSet(options.Port)) UsageError(OptionText("A device command needs --port PATH."));
  TDeviceRequest request;
  request.Port = NativePath(p.value(options.Port));
  bool number = false;
  request.Retries = p.value(options.Retries).toInt(&number);
  if (!number || request.Retries < 0 || request.Retries > 1000)
    UsageError(OptionText("--retries wants a number from 0 to 1000, not '%1'.").arg(p.value(options.Retries)));
  request.Quiet = p.isSet(options.Quiet);
  const std::pair<const QCommandLineOption*, TDeviceCommandKind> commands[] = {
      {&options.Write, TDeviceCommandKind::Write},
      {&options.Read, TDeviceCommandKind::Read},
      {&options.Verify, TDeviceCommandKind::Verify},
      {&options.ShowFloors, TDeviceCommandKind::ShowFloors}};
  for (const auto& [option, kind] : commands)
    if (p.isSet(*option)) {
      request.Command = kind;
      if (kind != TDeviceCommandKind::ShowFloors) request.File = NativePath(p.value(*option));
    }
  return request;
}

int RunFromCommandLine(const TOptions& options) {
  const TDeviceRequest request = DeviceRequest(options);
  // Ctrl+C lets the byte on its way finish; the command then stops and closes the port.
  CatchStopRequests();
  TCommandLineIo io;
  io.Pause = SleepPrecisely;
  io.StopRequested = StopRequested;
  io.ErrIsTerminal = ErrorsGoToATerminal();
  return RunDeviceCommand(request, io);
}

}  // namespace

int main(int argc, char** argv) {
  const TVaroStartUp startUp(ProgramCatalogFolder());
  QCoreApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
  QCoreApplication::setApplicationVersion(QStringLiteral(VARO_VERSION));
  if (RunsWithoutWindow(argc, argv)) {
    ShowTextsAsUtf8();
    const QCoreApplication app(argc, argv);
    const TBuiltInTexts builtInTexts(startUp.Language());
    TOptions options;
    AnswerOptions(options, app.arguments());
    return RunFromCommandLine(options);
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
  // From the event loop, once the window stands, so that a file it refuses is told as an open tells it.
  if (!options.Parser.positionalArguments().isEmpty()) {
    // The title names the file by its whole path, as the file dialog gives it.
    const QString file = QFileInfo(options.Parser.positionalArguments().first()).absoluteFilePath();
    QTimer::singleShot(0, &window, [&window, file] { window.OpenProjectFile(file); });
  }
  return app.exec();
}
