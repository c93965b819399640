// Reading what a terminal wrote to its port, a pseudo-terminal whose master the test holds.
#pragma once

#include "Pty.h"
#include "terminal/TermSession.h"

#include <string>

// Everything the terminal wrote before a marker that this sends last (LocalEcho is turned off for
// it), so that "nothing was sent" needs no waiting.
std::string SentBeforeMarker(TTermSession& Terminal, TPty& Pty);
