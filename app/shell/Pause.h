#pragma once
// The pauses of the device commands. Tests put in one that does not sleep.
#include <functional>

using TPause = std::function<void(int milliseconds)>;

// Keeps the window alive for the given time: it repaints and answers the
// window system (pings, moves, minimising, a close), and serves no hand-over
// (see TLoopCallsHeld). User input is delivered, so that the close of the
// window reaches it: the command lock (TCommandLock) that every device
// command holds drops the input itself, so nothing else can start
// meanwhile. Ends on time, or at once when `stopped` turns true.
void RealPause(int milliseconds, const std::function<bool()>& stopped = {});
