// Links, free notifications, the event raisers and the notifications of open, close, reading and
// writing.
#include <algorithm>

#include "CPort.h"
#include "ComPortState.h"

void TCustomComPort::AttachLink(TComLink* Link) {
  std::lock_guard<std::mutex> Lock(S_->FLinkLock);
  if (!Link || std::find(S_->FLinks.begin(), S_->FLinks.end(), Link) != S_->FLinks.end()) throw EComPort(CError_RegFailed);
  S_->FLinks.push_back(Link);
  S_->FHasRxBufLink = std::any_of(S_->FLinks.begin(), S_->FLinks.end(), [](TComLink* L) { return bool(L->OnRxBuf); });
}

void TCustomComPort::DetachLink(TComLink* Link) {
  std::lock_guard<std::mutex> Lock(S_->FLinkLock);
  const auto It = std::find(S_->FLinks.begin(), S_->FLinks.end(), Link);
  if (It == S_->FLinks.end()) throw EComPort(CError_RegFailed);
  S_->FLinks.erase(It);
  S_->FHasRxBufLink = std::any_of(S_->FLinks.begin(), S_->FLinks.end(), [](TComLink* L) { return bool(L->OnRxBuf); });
}

// Handlers may attach or detach links while being called, and writers on other threads tell the
// links too: every walk goes over a copy taken under the lock.
bool TCustomComPort::HasRxBufLink() const { return S_->FHasRxBufLink; }

std::vector<TComLink*> TCustomComPort::Links() const {
  std::lock_guard<std::mutex> Lock(S_->FLinkLock);
  return S_->FLinks;
}

void TCustomComPort::LinksSignal(TComSignalEvent TComLink::*Slot, bool OnOff) {
  for (TComLink* L : Links())
    if (L->*Slot) (L->*Slot)(this, OnOff);
}

void TCustomComPort::LinksNotify(TNotifyEvent TComLink::*Slot) {
  for (TComLink* L : Links())
    if (L->*Slot) (L->*Slot)(this);
}

void TCustomComPort::LinksTxActivity(bool OnOff) { LinksSignal(&TComLink::OnTxActivity, OnOff); }

void TCustomComPort::LinksRxActivity(bool OnOff) { LinksSignal(&TComLink::OnRxActivity, OnOff); }

void TCustomComPort::LinksTxData(const void* Buffer, int32_t Count) {
  for (TComLink* L : Links())
    if (L->OnTxData) L->OnTxData(this, Buffer, Count);
}

bool TCustomComPort::AnyLinkHas(TComSignalEvent TComLink::*Slot) const {
  const std::vector<TComLink*> All = Links();
  return std::any_of(All.begin(), All.end(), [Slot](TComLink* L) { return bool(L->*Slot); });
}

void TCustomComPort::NotifyAfterOpen() {
  LinksSignal(&TComLink::OnPortStateChange, true);
  DoAfterOpen();
  const TModemSignals Signals = ModemSignals();
  LinksSignal(&TComLink::OnCTSChange, Signals.Contains(msCTS));
  DoCTSChange(Signals.Contains(msCTS));
  LinksSignal(&TComLink::OnDSRChange, Signals.Contains(msDSR));
  DoDSRChange(Signals.Contains(msDSR));
  LinksSignal(&TComLink::OnRLSDChange, Signals.Contains(msRLSD));
  DoRLSDChange(Signals.Contains(msRLSD));
}

void TCustomComPort::NotifyBeforeClose() {
  LinksSignal(&TComLink::OnCTSChange, false);
  LinksSignal(&TComLink::OnDSRChange, false);
  LinksSignal(&TComLink::OnRLSDChange, false);
  DoCTSChange(false);
  DoDSRChange(false);
  DoRLSDChange(false);
  DoBeforeClose();
}

void TCustomComPort::NotifyAfterClose() {
  LinksSignal(&TComLink::OnPortStateChange, false);
  DoAfterClose();
}

void TCustomComPort::DoAfterClose() { if (OnAfterClose) OnAfterClose(this); }
void TCustomComPort::DoAfterOpen() { if (OnAfterOpen) OnAfterOpen(this); }
void TCustomComPort::DoBeforeClose() { if (OnBeforeClose) OnBeforeClose(this); }
void TCustomComPort::DoBeforeOpen() { if (OnBeforeOpen) OnBeforeOpen(this); }
void TCustomComPort::DoRxChar(int32_t Count) { if (OnRxChar) OnRxChar(this, Count); }
void TCustomComPort::DoRxBuf(const void* Buffer, int32_t Count) { if (OnRxBuf) OnRxBuf(this, Buffer, Count); }
void TCustomComPort::DoTxEmpty() { if (OnTxEmpty) OnTxEmpty(this); }
void TCustomComPort::DoBreak() { if (OnBreak) OnBreak(this); }
void TCustomComPort::DoRing() { if (OnRing) OnRing(this); }
void TCustomComPort::DoRxFlag() { if (OnRxFlag) OnRxFlag(this); }
void TCustomComPort::DoCTSChange(bool OnOff) { if (OnCTSChange) OnCTSChange(this, OnOff); }
void TCustomComPort::DoDSRChange(bool OnOff) { if (OnDSRChange) OnDSRChange(this, OnOff); }
void TCustomComPort::DoError(TComErrors Errors) { if (OnError) OnError(this, Errors); }
void TCustomComPort::DoRLSDChange(bool OnOff) { if (OnRLSDChange) OnRLSDChange(this, OnOff); }
void TCustomComPort::DoRx80Full() { if (OnRx80Full) OnRx80Full(this); }

TComponent::~TComponent() { Destroying(); }

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
    FFreeNotifies.push_back(AComponent);
  auto& Other = AComponent->FFreeNotifies;
  if (std::find(Other.begin(), Other.end(), this) == Other.end()) Other.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent), FFreeNotifies.end());
  auto& Other = AComponent->FFreeNotifies;
  Other.erase(std::remove(Other.begin(), Other.end(), this), Other.end());
}

void TComponent::Destroying() {
  // A receiver may add or remove notifications while it is told: take one at a time.
  while (!FFreeNotifies.empty()) {
    TComponent* Other = FFreeNotifies.back();
    RemoveFreeNotification(Other);
    Other->Notification(this, opRemove);
  }
}
