// The event thread: the backend waits on the device and the thread's signal and turns what it
// sees into batches of events; they are dispatched here by SyncMethod.
#include "ComThread.h"

#include <stdexcept>
#include <system_error>

#include "ComPortState.h"
#include "HandOver.h"
#include "PortIO.h"

namespace {

// The TComThread whose body runs on this thread, if any.
thread_local const TComThread* CurrentThread = nullptr;

}  // namespace

TComThread::TComThread(TCustomComPort* AComPort)
    : FComPort(AComPort), FMask(EventsToMask(AComPort->Events())) {}

TComThread::~TComThread() {
  Withdraw();
  Join();
}

void TComThread::Start() {
  try {
    FThread = std::thread(&TComThread::Execute, this);
  } catch (const std::system_error& E) {
    throw EComPort(CError_OpenFailed, E.code().value());
  }
}

void TComThread::Stop() {
  FStop = true;
  FSignal.Raise();
  cport_handover::WakeAll();
}

void TComThread::Withdraw() {
  FWithdraw = true;
  Stop();
}

void TComThread::Retire() {
  FRetired = true;
  Stop();
}

void TComThread::Join() {
  if (FThread.joinable()) FThread.join();
}

bool TComThread::IsCurrent() const { return CurrentThread == this; }

bool TComThread::OnEventThread() { return CurrentThread != nullptr; }

void TComThread::Wake() { FSignal.Raise(); }

void TComThread::NoteTransmit() {
  if (!(FMask & EventsToMask({evTxEmpty}))) return;
  FTxPending = true;
  Wake();
}

void TComThread::Execute() {
  CurrentThread = this;
  bool Stopped = false;
  // Whatever escapes the body (a failed allocation, a wake-up hook that throws) ends the thread
  // as a failed handler does.
  try {
    Stopped = Run();
  } catch (...) {
  }
  // A stop discards what the queues hold, unless the device was closed under the thread already.
  if (Stopped && !FRetired) TPortIO::PurgeQueues(*FComPort);
  FEnded = true;
  cport_handover::WakeAll();
}

bool TComThread::Dispatch(TComEvents Batch) {
  TCustomComPort* Port = FComPort;
  switch (Port->SyncMethod()) {
    case smThreadSync:
      return !cport_handover::Synchronize(
          Port,
          [Port, Batch] {
            struct TDepth {
              int& N;
              explicit TDepth(int& R) : N(R) { ++N; }
              ~TDepth() { --N; }
            } Depth(Port->S_->FInSyncedBatch);
            Port->HandleEvents(Batch);
          },
          FWithdraw);
    case smWindowSync:
      for (TComEvent Ev : {evError, evRxChar, evTxEmpty, evBreak, evRing, evCTS, evDSR, evRxFlag, evRLSD,
                           evRx80Full}) {
        if (!Batch.Contains(Ev)) continue;
        cport_handover::Post(Port, Ev, [Port, Ev] {
          if (!Port->Connected()) return;
          try {
            Port->HandleEvent(Ev);
          } catch (const std::exception& E) {
            ShowComError(E);
          } catch (...) {
            ShowComError(std::runtime_error("unknown error in serial event handling"));
          }
        });
      }
      return true;
    case smNone:
      try {
        Port->HandleEvents(Batch);
        return true;
      } catch (...) {
        return false;
      }
  }
  return false;
}
