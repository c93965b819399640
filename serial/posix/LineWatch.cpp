#include "LineWatch.h"

#include <cerrno>

namespace {

TComEvents CounterChanges(const cport_device::TCounters& A, const cport_device::TCounters& B) {
  TComEvents E;
  if (A.Cts != B.Cts) E.Include(evCTS);
  if (A.Dsr != B.Dsr) E.Include(evDSR);
  if (A.Dcd != B.Dcd) E.Include(evRLSD);
  if (A.Rng != B.Rng) E.Include(evRing);
  if (A.Brk != B.Brk) E.Include(evBreak);
  if (A.Frame != B.Frame || A.Overrun != B.Overrun || A.Parity != B.Parity || A.BufOverrun != B.BufOverrun)
    E.Include(evError);
  return E;
}

// A ring ends on its falling edge, as the ring counter counts it.
TComEvents StateChanges(int Old, int New) {
  TComEvents E;
  const int Changed = Old ^ New;
  if (Changed & (1 << msCTS)) E.Include(evCTS);
  if (Changed & (1 << msDSR)) E.Include(evDSR);
  if (Changed & (1 << msRLSD)) E.Include(evRLSD);
  if ((Old & (1 << msRing)) && !(New & (1 << msRing))) E.Include(evRing);
  return E;
}

}  // namespace

TLineWatch::TLineWatch(const TLineReading& First)
    : FCounters(First.CountersError == 0),
      FLines(First.LinesError == 0),
      FLastCounters(First.Counters),
      FLastLines(First.Lines) {}

TComEvents TLineWatch::Next(const TLineReading& Now, bool& Lost) {
  TComEvents E;
  if (FCounters) {
    if (Now.CountersError == 0) {
      E = E | CounterChanges(FLastCounters, Now.Counters);
      FLastCounters = Now.Counters;
    } else {
      FCounters = false;
      Lost = Lost || Now.CountersError == EIO;
    }
  }
  if (FLines) {
    if (Now.LinesError == 0) {
      E = E | StateChanges(FLastLines, Now.Lines);
      FLastLines = Now.Lines;
    } else {
      FLines = false;
      Lost = Lost || Now.LinesError == EIO;
    }
  }
  return E;
}

TLineReading ReadLineState(int Fd, bool Counters, bool Lines) {
  TLineReading R;
  R.CountersError = Counters ? cport_device::ReadCounters(Fd, R.Counters) : ENOTTY;
  R.LinesError = Lines ? cport_device::ReadModemLines(Fd, R.Lines) : ENOTTY;
  return R;
}
