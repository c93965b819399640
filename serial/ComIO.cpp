// Reading and writing: the blocking forms, starting, waiting for and cancelling requests; the
// device work is the backend's.
#include <algorithm>
#include <cstdint>

#include "CPort.h"
#include "ComPortState.h"
#include "PortIO.h"

namespace {

struct TRequestHolder {
  PAsync P = nullptr;
  TRequestHolder() { CreateAsyncRequest(P); }
  ~TRequestHolder() { FreeAsyncRequest(P); }
};

}  // namespace

AsyncRequest::~AsyncRequest() = default;

void CreateAsyncRequest(PAsync& AsyncPtr) { AsyncPtr = new AsyncRequest; }

void FreeAsyncRequest(PAsync& AsyncPtr) {
  delete AsyncPtr;
  AsyncPtr = nullptr;
}

// --- blocking forms

int32_t TCustomComPort::Write(const void* Buffer, int32_t Count) {
  TRequestHolder R;
  WriteAsync(Buffer, Count, R.P);
  return WaitAsync(R.P);
}

int32_t TCustomComPort::WriteString(const std::string& Str) {
  TRequestHolder R;
  WriteStringAsync(Str, R.P);
  return WaitAsync(R.P);
}

int32_t TCustomComPort::Read(void* Buffer, int32_t Count) {
  TRequestHolder R;
  ReadAsync(Buffer, Count, R.P);
  return WaitAsync(R.P);
}

int32_t TCustomComPort::ReadString(std::string& Str, int32_t Count) {
  TRequestHolder R;
  ReadStringAsync(Str, Count, R.P);
  const int32_t Done = WaitAsync(R.P);
  Str.resize(static_cast<size_t>(Done));
  return Done;
}

// --- starting requests

int32_t TCustomComPort::WriteAsync(const void* Buffer, int32_t Count, PAsync& AsyncPtr) {
  if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
  AsyncRequest& R = *AsyncPtr;
  R.FKind = TAsyncKind::Write;
  if (Count < 0 || (!Buffer && Count > 0)) {
    R.FErrno = SystemCode(Count < 0 ? TSystemCode::InvalidValue : TSystemCode::BadBuffer);
    throw EComPort(CError_WriteFailed, R.FErrno);
  }
  const char* Bytes = static_cast<const char*>(Buffer);
  // The request sends from its own copy: the caller may reuse or free its buffer at once.
  R.FData.assign(Bytes, Bytes + Count);
  TPortIO::StartWrite(*this, R);
  return R.FPending ? 0 : R.FDone;
}

int32_t TCustomComPort::WriteStringAsync(const std::string& Str, PAsync& AsyncPtr) {
  if (Str.empty()) return 0;
  return WriteAsync(Str.data(), static_cast<int32_t>(Str.size()), AsyncPtr);
}

int32_t TCustomComPort::ReadAsync(void* Buffer, int32_t Count, PAsync& AsyncPtr) {
  if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
  AsyncRequest& R = *AsyncPtr;
  R.FKind = TAsyncKind::Read;
  if (Count < 0 || (!Buffer && Count > 0)) {
    R.FErrno = SystemCode(Count < 0 ? TSystemCode::InvalidValue : TSystemCode::BadBuffer);
    throw EComPort(CError_ReadFailed, R.FErrno);
  }
  R.FBuffer = static_cast<char*>(Buffer);
  R.FCount = Count;
  TPortIO::StartRead(*this, R);
  return R.FPending ? 0 : R.FDone;
}

int32_t TCustomComPort::ReadStringAsync(std::string& Str, int32_t Count, PAsync& AsyncPtr) {
  Str.assign(static_cast<size_t>(std::max(Count, 0)), '\0');
  if (Count <= 0) return 0;
  return ReadAsync(&Str[0], Count, AsyncPtr);
}

// --- waiting and cancelling

int32_t TCustomComPort::WaitAsync(PAsync& AsyncPtr) {
  if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
  AsyncRequest& R = *AsyncPtr;
  if (R.FKind == TAsyncKind::None) return 0;
  const bool IsWrite = R.FKind == TAsyncKind::Write;
  if (R.FPending) {
    TPortIO::Finish(*this, R);
    R.FPending = false;
  }
  if (R.FErrno) throw EComPort(IsWrite ? CError_WriteFailed : CError_ReadFailed, R.FErrno);
  if (!IsWrite) {
    if (AnyLinkHas(&TComLink::OnRxActivity) && InputQueueCount() == 0) LinksRxActivity(false);
  } else if (R.FDone > 0) {
    // Links learn the bytes that went out, not those a time limit kept back.
    LinksTxData(R.FData.data(), R.FDone);
  }
  return R.FDone;
}

void TCustomComPort::AbortPendingIO() {
  if (Handle() < 0) throw EComPort(CError_PurgeFailed, SystemCode(TSystemCode::NotOpen));
  TPortIO::CancelPending(*this);
}

