// A model of a UART driver standing in for the kernel on one pseudo-terminal, through the
// component's device-call seam: an output queue that drains only as far as the test lets it,
// modem lines the test sets beside counters that stand still, settings the driver replaces by
// others, and the DTR/RTS levels the kernel drives at open and close; a call can be held up on its
// way in. Calls on other descriptors go to the system; reads and termios reach the real pty as well.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "DeviceCalls.h"

struct termios2;

class TFakeUart : public cport_device::TDeviceCalls {
 public:
  // Puts itself in place of the system's calls until destroyed.
  explicit TFakeUart(std::string Path);
  ~TFakeUart() override;
  TFakeUart(const TFakeUart&) = delete;
  TFakeUart& operator=(const TFakeUart&) = delete;

  // Output queue: each look at it (TIOCOUTQ) first lets up to Pace bytes leave, and from now on no
  // more than Allowed in all: a line that flow control then holds.
  void SetOutput(size_t Pace, size_t Allowed = SIZE_MAX);
  std::string Sent() const;
  size_t Queued() const;

  // Line inputs (TIOCM_CTS, TIOCM_DSR, TIOCM_CD, TIOCM_RI). The counters stand still, as a 16550's
  // do while modem-status interrupts are off.
  void SetInputLines(int TiocmBits);
  // How often the lines were looked at (TIOCMGET).
  int LineLooks() const;
  // Outputs as TIOCM_DTR | TIOCM_RTS, how often each rose, and how many device calls began while
  // it was up since the last open.
  int OutputLines() const;
  int Rises(int TiocmLine) const;
  int CallsWhileUp(int TiocmLine) const;

  // Whether the driver drops DTR and RTS when the device is let go (HUPCL in the settings it
  // keeps); `stty -hupcl` clears it.
  void SetHangUpOnClose(bool On);

  // What the driver makes of a setting (TCSETS2) before keeping it; none keeps it as asked.
  void SetSubstitute(std::function<void(termios2&)> Substitute);

  // Opens of the device so far: the number of the session a call reaches.
  int Opens() const;
  // The next ioctl Request on the device first runs Pause on its thread, as if that thread were held
  // up on its way into the system; the call then reaches whatever its descriptor is by then.
  void PauseAt(unsigned long Request, std::function<void()> Pause);
  // The session the paused call reached; 0 when its descriptor was no longer the device's.
  int PausedCallSession() const;

  int Open(const char* Path, int Flags) override;
  int Close(int Fd) override;
  int Ioctl(int Fd, unsigned long Request, void* Arg) override;
  ssize_t Read(int Fd, void* Buffer, size_t Count) override;
  ssize_t Write(int Fd, const void* Buffer, size_t Count) override;

 private:
  struct TState;
  // Counts a call on the device; false for another descriptor.
  bool Enter(int Fd);
  void SetOutputs(int Lines);
  int DeviceIoctl(int Fd, unsigned long Request, void* Arg);

  const std::string FPath;
  mutable std::mutex FLock;
  std::unique_ptr<TState> FState;
};
