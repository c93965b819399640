// Opening, closing and querying the device.
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "PortDevice.h"

namespace cport_device {

int OpenExclusive(const std::string& Path, int& Fd) {
  Fd = ::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (Fd < 0) return errno;
  if (::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
    const int Err = errno;
    ::close(Fd);
    Fd = -1;
    return Err;
  }
  (void)ioctl(Fd, TIOCEXCL);
  return 0;
}

void CloseExclusive(int Fd) {
  (void)ioctl(Fd, TIOCNXCL);
  ::close(Fd);
}

int QueueCount(int Fd, int& Count) {
  Count = 0;
  return ioctl(Fd, FIONREAD, &Count) == 0 ? 0 : errno;
}

int OutQueueCount(int Fd, int& Count) {
  Count = 0;
  return ioctl(Fd, TIOCOUTQ, &Count) == 0 ? 0 : errno;
}

int Flush(int Fd) { return tcflush(Fd, TCIOFLUSH) == 0 ? 0 : errno; }

bool Unsupported(int Errno) { return Errno == ENOTTY || Errno == EINVAL || Errno == EOPNOTSUPP; }

int ReadCounters(int Fd, TCounters& Counters) {
  serial_icounter_struct Ic{};
  if (ioctl(Fd, TIOCGICOUNT, &Ic) != 0) return errno;
  Counters.Cts = Ic.cts;
  Counters.Dsr = Ic.dsr;
  Counters.Rng = Ic.rng;
  Counters.Dcd = Ic.dcd;
  Counters.Frame = Ic.frame;
  Counters.Overrun = Ic.overrun;
  Counters.Parity = Ic.parity;
  Counters.Brk = Ic.brk;
  Counters.BufOverrun = Ic.buf_overrun;
  return 0;
}

int ReadModemLines(int Fd, int& Bits) {
  Bits = 0;
  int Lines = 0;
  if (ioctl(Fd, TIOCMGET, &Lines) != 0) return errno;
  if (Lines & TIOCM_CTS) Bits |= 1 << msCTS;
  if (Lines & TIOCM_DSR) Bits |= 1 << msDSR;
  if (Lines & TIOCM_RI) Bits |= 1 << msRing;
  if (Lines & TIOCM_CD) Bits |= 1 << msRLSD;
  return 0;
}

}  // namespace cport_device
