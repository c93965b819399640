#pragma once
// The device commands of the command line: write, read, verify and show
// floors against one port, with no window. Results go to `out`, progress and
// messages to `err`; the exit code says how it ended.
#include <cstdio>
#include <functional>
#include <string>

enum TExitCode : int {
  ExitDone = 0,
  ExitFailed = 1,       // anything not listed below
  ExitUsage = 2,
  ExitPortNotOpened = 3,
  ExitNoAnswer = 4,
  ExitBadProject = 5,   // a project file that cannot be read, written or shown; a refused read image
  ExitMismatch = 6,
  ExitLineFailed = 7,
  ExitInterrupted = 130,
};

enum class TDeviceCommandKind { Write, Read, Verify, ShowFloors };

struct TDeviceRequest {
  TDeviceCommandKind Command = TDeviceCommandKind::ShowFloors;
  std::string Port;
  std::string File;  // the project to write or verify, or where a read is saved
  int Retries = 3;   // handshakes after the first one
  bool Quiet = false;
};

struct TCommandLineIo {
  std::function<void(int milliseconds)> Pause;
  std::function<bool()> StopRequested = [] { return false; };
  FILE* Out = stdout;
  FILE* Err = stderr;
  bool ErrIsTerminal = false;  // progress as a bar rather than a line per 10 %
};

int RunDeviceCommand(const TDeviceRequest& request, const TCommandLineIo& io);

// Sleeps until the time is up, to the millisecond: the pauses of the line.
void SleepPrecisely(int milliseconds);
