#include "shell/ConsoleStop.h"

#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>

namespace {
std::atomic<bool> Interrupted{false};

// Runs on a thread of its own; TRUE keeps the process alive until the command has stopped.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  Interrupted = true;
  return TRUE;
}
}  // namespace

void CatchStopRequests() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

bool StopRequested() { return Interrupted; }

bool ErrorsGoToATerminal() { return _isatty(_fileno(stderr)) != 0; }
