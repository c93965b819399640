#pragma once
// The GUI side of the serial component: hand-overs from the event threads are
// served by the Qt event loop, and errors the component catches itself go to
// the application's error display. One instance, owned by the main window.
class TSerialHooks {
 public:
  TSerialHooks();
  ~TSerialHooks();
  TSerialHooks(const TSerialHooks&) = delete;
  TSerialHooks& operator=(const TSerialHooks&) = delete;
};
