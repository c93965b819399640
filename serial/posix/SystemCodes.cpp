#include <cerrno>

#include "CPort.h"

int32_t SystemCode(TSystemCode Code) {
  switch (Code) {
    case TSystemCode::InvalidValue: return EINVAL;
    case TSystemCode::BadBuffer: return EFAULT;
    case TSystemCode::NotOpen: return EBADF;
    case TSystemCode::Cancelled: return ECANCELED;
    case TSystemCode::TimedOut: return ETIMEDOUT;
  }
  return EINVAL;
}
