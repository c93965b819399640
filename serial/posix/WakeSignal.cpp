#include "WakeSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include "CPort.h"

TWakeSignal::TWakeSignal() : FFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (FFd < 0) throw EComPort(CError_OpenFailed, errno);
}

TWakeSignal::~TWakeSignal() { ::close(FFd); }

void TWakeSignal::Raise() { (void)::eventfd_write(FFd, 1); }

void TWakeSignal::Clear() {
  eventfd_t Ignored;
  (void)::eventfd_read(FFd, &Ignored);
}
