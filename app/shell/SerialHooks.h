#pragma once
// The GUI side of the serial component: hand-overs from the event threads are
// served by the Qt event loop, and errors the component catches itself go to
// the application's error display. One instance, owned by the main window.
#include <functional>

class TSerialHooks {
 public:
  TSerialHooks();
  ~TSerialHooks();
  TSerialHooks(const TSerialHooks&) = delete;
  TSerialHooks& operator=(const TSerialHooks&) = delete;
};

// Runs `call` on the GUI thread from its event loop, in posting order; from
// any thread. While a TLoopCallsHeld lives the calls wait.
void PostLoopCall(std::function<void()> call);

// Held by a device command's pause: the window keeps painting and answering
// the window system, but serves no hand-over and shows no message, so a
// received byte stays in the input queue until the command serves it.
class TLoopCallsHeld {
 public:
  TLoopCallsHeld();
  ~TLoopCallsHeld();
  TLoopCallsHeld(const TLoopCallsHeld&) = delete;
  TLoopCallsHeld& operator=(const TLoopCallsHeld&) = delete;
};
