// Line events from successive looks at the driver's counters and the modem-line states.
#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "LineWatch.h"

namespace {

constexpr int Cts = 1 << msCTS, Dsr = 1 << msDSR, Ring = 1 << msRing, Dcd = 1 << msRLSD;

TLineReading Look(int Lines, cport_device::TCounters C = {}) {
  TLineReading R;
  R.Lines = Lines;
  R.Counters = C;
  return R;
}

cport_device::TCounters Counted(int cport_device::TCounters::*Field, int N = 1) {
  cport_device::TCounters C;
  C.*Field = N;
  return C;
}

TLineReading Failing(int CountersError, int LinesError) {
  TLineReading R;
  R.CountersError = CountersError;
  R.LinesError = LinesError;
  return R;
}

TEST(LineWatchTest, EveryLookComparesCountersAndStates) {
  using C = cport_device::TCounters;
  const struct {
    const char* Name;
    TLineReading First;
    std::vector<std::pair<TLineReading, TComEvents>> Looks;
  } Cases[] = {
      {"16550 without modem-status interrupts: counters stand still",
       Look(0),
       {{Look(Cts), {evCTS}},
        {Look(Cts | Dsr), {evDSR}},
        {Look(Cts | Dsr | Dcd), {evRLSD}},
        {Look(Cts | Dsr | Dcd | Ring), {}},
        {Look(Cts | Dsr | Dcd), {evRing}},
        {Look(0), {evCTS, evDSR, evRLSD}},
        {Look(0), {}}}},
      {"counters and states moving together give one event",
       Look(0),
       {{Look(Cts, Counted(&C::Cts)), {evCTS}}, {Look(Cts, Counted(&C::Cts)), {}}}},
      {"an edge pair between two looks shows only in the counters",
       Look(Dcd),
       {{Look(Dcd, Counted(&C::Dcd, 2)), {evRLSD}}, {Look(Dcd, Counted(&C::Dcd, 2)), {}}}},
      {"a ring seen only by its counter", Look(0), {{Look(0, Counted(&C::Rng)), {evRing}}}},
      {"breaks and line errors come from the counters",
       Look(0),
       {{Look(0, Counted(&C::Brk)), {evBreak}},
        {Look(0, Counted(&C::Frame)), {evBreak, evError}},
        {Look(0, Counted(&C::Overrun)), {evError}},
        {Look(0, Counted(&C::Parity)), {evError}},
        {Look(0, Counted(&C::BufOverrun)), {evError}}}},
      {"no counters (ENOTTY): states alone", Failing(ENOTTY, 0), {{Look(Dsr), {evDSR}}}},
      {"no modem lines (EINVAL): counters alone",
       Failing(0, EINVAL),
       {{Look(Cts), {}}, {Look(Cts, Counted(&C::Cts)), {evCTS}}}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TLineWatch W(Case.First);
    EXPECT_TRUE(W.Active());
    int N = 0;
    for (const auto& L : Case.Looks) {
      bool Lost = false;
      EXPECT_EQ(W.Next(L.first, Lost).ToBits(), L.second.ToBits()) << "look " << ++N;
      EXPECT_FALSE(Lost);
    }
  }
}

TEST(LineWatchTest, QueriesTheDeviceRefusesAreDroppedAndALostDeviceIsReported) {
  EXPECT_FALSE(TLineWatch(Failing(ENOTTY, ENOTTY)).Active());
  EXPECT_FALSE(TLineWatch().Active());

  TLineWatch W(Look(0));
  bool Lost = false;
  EXPECT_TRUE(W.Next(Failing(EINVAL, 0), Lost).Empty());
  EXPECT_FALSE(Lost);
  EXPECT_FALSE(W.WantsCounters());
  EXPECT_TRUE(W.WantsLines());
  EXPECT_TRUE(W.Next(Failing(0, EIO), Lost).Empty());
  EXPECT_TRUE(Lost);
  EXPECT_FALSE(W.Active());
}

}  // namespace
