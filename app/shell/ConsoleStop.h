#pragma once
// The command line's console: Ctrl+C (or a request to end) as a stop the command takes after the
// byte on its way, and whether messages go to a terminal. One file per system.

// From now on a Ctrl+C or an end request only sets what StopRequested reports.
void CatchStopRequests();
bool StopRequested();
bool ErrorsGoToATerminal();
