// POSIX device layer of unit CPort (internal). Functions return 0 or the errno of the failed call.
#pragma once

#include <string>

#include "CPort.h"

struct termios2;

namespace cport_device {

// Exclusive open: non-blocking descriptor, flock held while open, TIOCEXCL where the driver has it.
// The modem lines LowLines (TIOCM_DTR, TIOCM_RTS) come down in the first call on the device.
int OpenExclusive(const std::string& Path, int LowLines, int& Fd);
void CloseExclusive(int Fd);

// Raw mode and every member of the record that termios can express (any bit rate via BOTHER).
int ApplyLine(int Fd, const TDCB& Dcb);
// Whether the driver marks bytes received in error (PARMRK), as it holds its settings now.
int MarksReceivedErrors(int Fd, bool& Marked);
// The modem lines the record keeps low, as TIOCM_DTR and TIOCM_RTS bits; RTS under hardware
// handshake belongs to the driver.
int LinesHeldLow(const TDCB& Dcb);
// The termios2 part of ApplyLine; false for a record no line can follow: rate 0 or above 2^31,
// a value out of its range, 1.5 stop bits with 6 to 8 data bits or 2 with 5.
bool LineTermios(const TDCB& Dcb, termios2& T);

// Whether the driver kept the line it was asked for: the rate within 3 %, the same size, parity
// and stop bits. A driver takes a rate or frame it cannot make and keeps another without failing.
bool LineKept(const termios2& Asked, const termios2& Got);

// A driver of real serial lines (it reports serial details); a pseudo-terminal keeps 8 data bits
// without parity whatever it is asked, and is not one.
bool IsSerialDevice(int Fd);

int QueueCount(int Fd, int& Count);
int OutQueueCount(int Fd, int& Count);
// Discards unread input and, on a serial line, the output no write counted as sent. A
// pseudo-terminal's output is already the peer's: flushing it would take back written bytes.
int Discard(int Fd, bool OutputDrains);
int FlushOutput(int Fd);

// Whether an errno means the driver lacks the feature (pseudo-terminals): not a failure.
bool Unsupported(int Errno);

struct TCounters {
  int Cts = 0, Dsr = 0, Rng = 0, Dcd = 0, Frame = 0, Overrun = 0, Parity = 0, Brk = 0, BufOverrun = 0;
};
int ReadCounters(int Fd, TCounters& Counters);
// Modem lines as a TModemSignals bit mask.
int ReadModemLines(int Fd, int& Bits);

}  // namespace cport_device
