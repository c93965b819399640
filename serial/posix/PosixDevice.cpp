// Opening, closing and querying the device.
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <cstdint>

#include "DeviceCalls.h"
#include "PortDevice.h"

namespace cport_device {

namespace {

int IoctlResult(int Fd, unsigned long Request, void* Arg) { return Calls().Ioctl(Fd, Request, Arg) == 0 ? 0 : errno; }

int FlushQueues(int Fd, int Queues) {
  return IoctlResult(Fd, TCFLSH, reinterpret_cast<void*>(static_cast<uintptr_t>(Queues)));
}

}  // namespace

int OpenExclusive(const std::string& Path, int LowLines, int& Fd) {
  Fd = Calls().Open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (Fd < 0) return errno;
  // Root opens a port that another program holds with TIOCEXCL alone; it stays that program's,
  // lines and exclusive mode untouched.
  int HeldElsewhere = 0;
  const bool Held = Calls().Ioctl(Fd, TIOCGEXCL, &HeldElsewhere) == 0 && HeldElsewhere != 0;
  if (Held || ::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
    const int Err = Held ? EBUSY : errno;
    Calls().Close(Fd);
    Fd = -1;
    return Err;
  }
  // The tty layer raised DTR and RTS while opening (unless the driver kept rate 0); every call
  // before this one would stretch the pulse. Not before the lock: the port may be someone else's.
  if (LowLines != 0) (void)Calls().Ioctl(Fd, TIOCMBIC, &LowLines);
  (void)Calls().Ioctl(Fd, TIOCEXCL, nullptr);
  return 0;
}

void CloseExclusive(int Fd) {
  (void)Calls().Ioctl(Fd, TIOCNXCL, nullptr);
  Calls().Close(Fd);
}

int QueueCount(int Fd, int& Count) {
  Count = 0;
  return IoctlResult(Fd, FIONREAD, &Count);
}

int OutQueueCount(int Fd, int& Count) {
  Count = 0;
  return IoctlResult(Fd, TIOCOUTQ, &Count);
}

int Discard(int Fd, bool OutputDrains) { return FlushQueues(Fd, OutputDrains ? TCIOFLUSH : TCIFLUSH); }

int FlushOutput(int Fd) { return FlushQueues(Fd, TCOFLUSH); }

bool Unsupported(int Errno) { return Errno == ENOTTY || Errno == EINVAL || Errno == EOPNOTSUPP; }

bool IsSerialDevice(int Fd) {
  serial_struct Info{};
  return Calls().Ioctl(Fd, TIOCGSERIAL, &Info) == 0;
}

int ReadCounters(int Fd, TCounters& Counters) {
  serial_icounter_struct Ic{};
  if (const int Err = IoctlResult(Fd, TIOCGICOUNT, &Ic)) return Err;
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
  if (const int Err = IoctlResult(Fd, TIOCMGET, &Lines)) return Err;
  if (Lines & TIOCM_CTS) Bits |= 1 << msCTS;
  if (Lines & TIOCM_DSR) Bits |= 1 << msDSR;
  if (Lines & TIOCM_RI) Bits |= 1 << msRing;
  if (Lines & TIOCM_CD) Bits |= 1 << msRLSD;
  return 0;
}

}  // namespace cport_device
