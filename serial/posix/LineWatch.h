// Line events from the driver's counters and the modem-line states (internal to unit CPort).
#pragma once

#include "CPort.h"
#include "PortDevice.h"

// One look at the line: the counters and the modem-line states (TModemSignals bits), each with the
// errno of its query, 0 when it answered.
struct TLineReading {
  int CountersError = 0;
  cport_device::TCounters Counters;
  int LinesError = 0;
  int Lines = 0;
};

// Turns successive looks into events. Both sources are compared at every look: an 8250/16550 moves
// its modem counters only while modem-status interrupts are on, which it keeps off without
// hardware flow control, so there only the states show a change; the counters give breaks, line
// errors and edges too short to be seen between two looks.
class TLineWatch {
 public:
  // Looks at nothing.
  TLineWatch() = default;
  // From the first look: a query the device does not answer is not asked again.
  explicit TLineWatch(const TLineReading& First);
  bool WantsCounters() const { return FCounters; }
  bool WantsLines() const { return FLines; }
  bool Active() const { return FCounters || FLines; }
  // Events since the last look. A failed query stops that source; EIO (the device is gone) sets Lost.
  TComEvents Next(const TLineReading& Now, bool& Lost);

 private:
  bool FCounters = false;
  bool FLines = false;
  cport_device::TCounters FLastCounters;
  int FLastLines = 0;
};

// Asks the device for the sources wanted.
TLineReading ReadLineState(int Fd, bool Counters, bool Lines);
