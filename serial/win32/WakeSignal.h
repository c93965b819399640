// A wake-up another thread raises and a wait sees (internal to unit CPort): an auto-reset event.
#pragma once

#include <windows.h>

class TWakeSignal {
 public:
  // EComPort 1 with the system's code when it has none to give.
  TWakeSignal();
  ~TWakeSignal();
  TWakeSignal(const TWakeSignal&) = delete;
  TWakeSignal& operator=(const TWakeSignal&) = delete;
  void Raise() { SetEvent(FEvent); }
  void Clear() { ResetEvent(FEvent); }
  HANDLE Handle() const { return FEvent; }

 private:
  HANDLE FEvent;
};
