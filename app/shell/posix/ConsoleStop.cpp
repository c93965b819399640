#include "shell/ConsoleStop.h"

#include <signal.h>
#include <unistd.h>

namespace {
volatile sig_atomic_t Interrupted = 0;
}  // namespace

void CatchStopRequests() {
  struct sigaction stop {};
  stop.sa_handler = [](int) { Interrupted = 1; };
  sigemptyset(&stop.sa_mask);
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);
}

bool StopRequested() { return Interrupted != 0; }

bool ErrorsGoToATerminal() { return isatty(STDERR_FILENO) == 1; }

// A terminal takes the bytes as they are, in the user's locale.
void ShowTextsAsUtf8() {}
