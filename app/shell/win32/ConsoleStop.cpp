#include "shell/ConsoleStop.h"

#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<bool> Interrupted{false};
UINT ConsoleCodePage = 0;

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

// A console shows bytes in its output code page, the OEM one (857 in Turkey) unless told otherwise;
// cmd.exe keeps the page after the program, so the old one comes back at the end.
void ShowTextsAsUtf8() {
  const UINT current = GetConsoleOutputCP();
  if (current == 0 || current == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8)) return;
  ConsoleCodePage = current;
  std::atexit([] { SetConsoleOutputCP(ConsoleCodePage); });
}
