#pragma once
// The command line's console: Ctrl+C (or a request to end) as a stop the command takes after the
// byte on its way, whether messages go to a terminal, and the console showing the program's texts,
// which are UTF-8. One file per system.

// From now on a Ctrl+C or an end request only sets what StopRequested reports.
void CatchStopRequests();
bool StopRequested();
bool ErrorsGoToATerminal();
void ShowTextsAsUtf8();
