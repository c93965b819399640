#pragma once
// The pauses of the device commands. Tests put in one that does not sleep.
#include <functional>

using TPause = std::function<void(int milliseconds)>;

// Brings pending repaints to the screen, then sleeps. It handles no user
// input and no posted calls, so nothing else can start or be served meanwhile.
void RealPause(int milliseconds);
