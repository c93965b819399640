// A wake-up another thread raises and a poll sees (internal to unit CPort): an eventfd.
#pragma once

class TWakeSignal {
 public:
  // EComPort 1 with the errno when the system has none to give.
  TWakeSignal();
  ~TWakeSignal();
  TWakeSignal(const TWakeSignal&) = delete;
  TWakeSignal& operator=(const TWakeSignal&) = delete;
  void Raise();
  void Clear();
  int Fd() const { return FFd; }

 private:
  int FFd;
};
