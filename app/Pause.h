#pragma once
// The pauses of the device commands. Tests put in one that does not sleep.
#include <functional>

using TPause = std::function<void(int milliseconds)>;

// Keeps the window alive for the given time: it repaints and answers the
// window system (pings, moves, minimising), but takes no user input and
// serves no hand-over (see TLoopCallsHeld), so nothing else can start or be
// served meanwhile. Ends on time, or at once when `stopped` turns true.
void RealPause(int milliseconds, const std::function<bool()>& stopped = {});
