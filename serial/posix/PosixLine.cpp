// Line settings through termios2, so that every bit rate can be set (BOTHER).
// Kept apart: <asm/termbits.h> and <termios.h> cannot meet in one file.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdint>

#include "DeviceCalls.h"
#include "PortDevice.h"

namespace cport_device {

namespace {

speed_t SpeedCode(uint32_t Rate) {
  switch (Rate) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return BOTHER;
  }
}

tcflag_t ParityFlags(uint8_t Parity) {
  switch (Parity) {
    case 1: return PARENB | PARODD;
    case 2: return PARENB;
    case 3: return PARENB | CMSPAR | PARODD;
    case 4: return PARENB | CMSPAR;
    default: return 0;
  }
}

tcflag_t SizeFlag(uint8_t ByteSize) {
  switch (ByteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

bool Handshake(const TDCB& Dcb) { return Dcb.fOutxCtsFlow || Dcb.fRtsControl == 2; }

void SetModemLine(int Fd, int Line, bool On) {
  // Devices without modem lines refuse this; that is no failure of the settings.
  (void)Calls().Ioctl(Fd, On ? TIOCMBIS : TIOCMBIC, &Line);
}

bool ValidRecord(const TDCB& Dcb) {
  // Rate 0 would mean "hang up" to the driver, and a negative custom rate arrives here huge.
  if (Dcb.BaudRate == 0 || Dcb.BaudRate > INT32_MAX) return false;
  if (Dcb.ByteSize < 5 || Dcb.ByteSize > 8 || Dcb.Parity > 4 || Dcb.StopBits > 2) return false;
  if (Dcb.fDtrControl > 2 || Dcb.fRtsControl > 3) return false;
  // A UART sends 1.5 stop bits only after 5 data bits, and 2 only after 6 to 8 (asked for 2 after
  // 5 it sends 1.5): the combinations SetCommState refuses.
  if (Dcb.StopBits == 1 && Dcb.ByteSize != 5) return false;
  if (Dcb.StopBits == 2 && Dcb.ByteSize == 5) return false;
  return true;
}

}  // namespace

bool LineTermios(const TDCB& Dcb, termios2& T) {
  if (!ValidRecord(Dcb)) return false;
  T.c_iflag = IGNBRK;
  // Bytes received in error come marked; the receive path puts the replacement in their place.
  if (Dcb.fParity && Dcb.fErrorChar) T.c_iflag |= INPCK | PARMRK;
  if (Dcb.fOutX) T.c_iflag |= IXON;
  if (Dcb.fInX) T.c_iflag |= IXOFF;
  T.c_oflag = 0;
  T.c_lflag = 0;
  T.c_cflag = CREAD | CLOCAL | HUPCL | SizeFlag(Dcb.ByteSize) | ParityFlags(Dcb.Parity);
  // With 5 data bits CSTOPB means 1.5 stop bits.
  if (Dcb.StopBits != 0) T.c_cflag |= CSTOPB;
  if (Handshake(Dcb)) T.c_cflag |= CRTSCTS;
  T.c_cflag |= SpeedCode(Dcb.BaudRate);
  T.c_ispeed = Dcb.BaudRate;
  T.c_ospeed = Dcb.BaudRate;
  T.c_cc[VMIN] = 1;
  T.c_cc[VTIME] = 0;
  T.c_cc[VSTART] = static_cast<cc_t>(Dcb.XonChar);
  T.c_cc[VSTOP] = static_cast<cc_t>(Dcb.XoffChar);
  return true;
}

bool LineKept(const termios2& Asked, const termios2& Got) {
  const uint64_t Rate = Asked.c_ospeed;
  const uint64_t Off = Got.c_ospeed > Rate ? Got.c_ospeed - Rate : Rate - Got.c_ospeed;
  if (Off * 100 > Rate * 3) return false;
  const tcflag_t Frame = CSIZE | CSTOPB | PARENB;
  if ((Asked.c_cflag & Frame) != (Got.c_cflag & Frame)) return false;
  const tcflag_t Kind = PARODD | CMSPAR;
  return !(Asked.c_cflag & PARENB) || (Asked.c_cflag & Kind) == (Got.c_cflag & Kind);
}

int ApplyLine(int Fd, const TDCB& Dcb) {
  struct termios2 T {};
  if (Calls().Ioctl(Fd, TCGETS2, &T) != 0) return errno;
  if (!LineTermios(Dcb, T)) return EINVAL;
  if (Calls().Ioctl(Fd, TCSETS2, &T) != 0) return errno;
  struct termios2 Got {};
  if (IsSerialDevice(Fd) && Calls().Ioctl(Fd, TCGETS2, &Got) == 0 && !LineKept(T, Got)) return EINVAL;

  // DTR handshake and RTS toggle have no termios form: the lines stay as for enable/disable.
  const int Low = LinesHeldLow(Dcb);
  SetModemLine(Fd, TIOCM_DTR, !(Low & TIOCM_DTR));
  if (!Handshake(Dcb)) SetModemLine(Fd, TIOCM_RTS, !(Low & TIOCM_RTS));
  return 0;
}

int MarksReceivedErrors(int Fd, bool& Marked) {
  struct termios2 T {};
  if (Calls().Ioctl(Fd, TCGETS2, &T) != 0) return errno;
  Marked = (T.c_iflag & PARMRK) != 0;
  return 0;
}

int LinesHeldLow(const TDCB& Dcb) {
  int Low = 0;
  if (Dcb.fDtrControl == 0) Low |= TIOCM_DTR;
  if (!Handshake(Dcb) && Dcb.fRtsControl != 1) Low |= TIOCM_RTS;
  return Low;
}

}  // namespace cport_device
