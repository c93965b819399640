// Event masks and the handling of one batch of events, in the fixed order.
#include <vector>

#include "CPort.h"
#include "ComPortState.h"

namespace {

struct TEventBit {
  TComEvent Event;
  uint32_t Bit;
};

constexpr TEventBit EventBits[] = {
    {evRxChar, 0x0001}, {evRxFlag, 0x0002}, {evTxEmpty, 0x0004}, {evCTS, 0x0008},  {evDSR, 0x0010},
    {evRLSD, 0x0020},   {evBreak, 0x0040},  {evError, 0x0080},   {evRing, 0x0100}, {evRx80Full, 0x0400},
};

constexpr TComEvent HandlingOrder[] = {evError, evRxChar, evTxEmpty, evBreak, evRing,
                                       evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

}  // namespace

uint32_t EventsToMask(TComEvents Events) {
  uint32_t Mask = 0;
  for (const TEventBit& E : EventBits)
    if (Events.Contains(E.Event)) Mask |= E.Bit;
  return Mask;
}

TComEvents MaskToEvents(uint32_t Mask) {
  TComEvents Events;
  for (const TEventBit& E : EventBits)
    if (Mask & E.Bit) Events.Include(E.Event);
  return Events;
}

void TCustomComPort::HandleEvents(TComEvents Events) {
  const uint32_t Session = S_->FSession;
  for (TComEvent Ev : HandlingOrder) {
    // A handler that closed the port ends the batch, also when it opened the port again.
    if (!FConnected || S_->FCloseAsked || S_->FSession != Session) return;
    if (Events.Contains(Ev)) HandleEvent(Ev);
  }
}

void TCustomComPort::HandleEvent(TComEvent Event) {
  switch (Event) {
    case evError: {
      const TComErrors Errors = LineErrors();
      if (!Errors.Empty()) DoError(Errors);
      break;
    }
    case evRxChar:
      ReceiveData();
      break;
    case evTxEmpty:
      LinksSignal(&TComLink::OnTxActivity, false);
      LinksNotify(&TComLink::OnTxEmpty);
      DoTxEmpty();
      break;
    case evBreak:
      DoBreak();
      break;
    case evRing:
      LinksNotify(&TComLink::OnRing);
      DoRing();
      break;
    case evCTS:
      ReportLine(msCTS, &TComLink::OnCTSChange, &TCustomComPort::DoCTSChange);
      break;
    case evDSR:
      ReportLine(msDSR, &TComLink::OnDSRChange, &TCustomComPort::DoDSRChange);
      break;
    case evRxFlag:
      LinksNotify(&TComLink::OnRxFlag);
      DoRxFlag();
      break;
    case evRLSD:
      ReportLine(msRLSD, &TComLink::OnRLSDChange, &TCustomComPort::DoRLSDChange);
      break;
    case evRx80Full:
      DoRx80Full();
      break;
  }
}

void TCustomComPort::ReportLine(TModemSignal Line, TComSignalEvent TComLink::*Slot,
                                void (TCustomComPort::*Raise)(bool)) {
  const bool On = ModemSignals().Contains(Line);
  LinksSignal(Slot, On);
  (this->*Raise)(On);
}

void TCustomComPort::ReceiveData() {
  int32_t Count = InputQueueCount();
  if (Count <= 0) return;
  LinksSignal(&TComLink::OnRxActivity, true);
  if (S_->FHasRxBufLink) {
    std::vector<char> Block;
    bool Taken = false;
    for (TComLink* L : Links()) {
      if (!L->OnRxBuf) continue;
      if (!Taken) {
        Block.resize(static_cast<size_t>(Count));
        // Links get the bytes the read returned, should the device have lost some meanwhile.
        Count = Read(Block.data(), Count);
        Taken = true;
        DoRxBuf(Block.data(), Count);
      }
      L->OnRxBuf(this, Block.data(), Count);
    }
    if (Taken) Count = 0;
  }
  if (Count > 0) DoRxChar(Count);
}
