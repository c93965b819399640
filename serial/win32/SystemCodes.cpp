#include <windows.h>

#include "CPort.h"

int32_t SystemCode(TSystemCode Code) {
  switch (Code) {
    case TSystemCode::InvalidValue: return ERROR_INVALID_PARAMETER;
    case TSystemCode::BadBuffer: return ERROR_NOACCESS;
    case TSystemCode::NotOpen: return ERROR_INVALID_HANDLE;
    case TSystemCode::Cancelled: return ERROR_OPERATION_ABORTED;
    case TSystemCode::TimedOut: return ERROR_COUNTER_TIMEOUT;
  }
  return ERROR_INVALID_PARAMETER;
}
