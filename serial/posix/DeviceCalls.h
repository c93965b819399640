// The system calls the component makes on a serial device, behind one seam (internal to unit
// CPort): tests put a model of a UART driver in the kernel's place, since a pseudo-terminal has no
// modem lines, no output queue and takes every setting.
#pragma once

#include <sys/types.h>

namespace cport_device {

// Each call returns what the system call of the same name returns and sets errno the same way.
class TDeviceCalls {
 public:
  virtual ~TDeviceCalls() = default;
  virtual int Open(const char* Path, int Flags);
  virtual int Close(int Fd);
  virtual int Ioctl(int Fd, unsigned long Request, void* Arg);
  virtual ssize_t Read(int Fd, void* Buffer, size_t Count);
  virtual ssize_t Write(int Fd, const void* Buffer, size_t Count);
};

// The calls in force: the system's own unless others were put in place.
TDeviceCalls& Calls();
// Puts Calls in place for the whole process; nullptr restores the system's own.
void SetCalls(TDeviceCalls* Calls);

}  // namespace cport_device
