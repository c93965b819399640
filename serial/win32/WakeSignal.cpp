#include "WakeSignal.h"

#include "CPort.h"

TWakeSignal::TWakeSignal() : FEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  if (!FEvent) throw EComPort(CError_OpenFailed, static_cast<int32_t>(GetLastError()));
}

TWakeSignal::~TWakeSignal() { CloseHandle(FEvent); }
