#include "FakeUart.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {
const int Outputs = TIOCM_DTR | TIOCM_RTS;
}

struct TFakeUart::TState {
  int Fd = -1;
  std::string Queue, Sent;
  size_t Pace = SIZE_MAX;
  size_t Allowed = SIZE_MAX;
  int Inputs = 0;
  int LineLooks = 0;
  int OutputLines = 0;
  int Rises[2] = {0, 0};
  int CallsWhileUp[2] = {0, 0};
  // Kept from one open to the next, as a UART's driver keeps it.
  termios2 Settings{};
  std::function<void(termios2&)> Substitute;
  int Opens = 0;
  unsigned long PauseRequest = 0;
  std::function<void()> Pause;
  int PausedCallSession = 0;
};

namespace {
int Slot(int Line) { return Line == TIOCM_DTR ? 0 : 1; }
}  // namespace

TFakeUart::TFakeUart(std::string Path) : FPath(std::move(Path)), FState(new TState) {
  FState->Settings.c_cflag = B9600 | CS8 | CREAD | HUPCL | CLOCAL;
  FState->Settings.c_ispeed = FState->Settings.c_ospeed = 9600;
  cport_device::SetCalls(this);
}

TFakeUart::~TFakeUart() { cport_device::SetCalls(nullptr); }

void TFakeUart::SetOutput(size_t Pace, size_t Allowed) {
  std::lock_guard<std::mutex> L(FLock);
  FState->Pace = Pace;
  FState->Allowed = Allowed;
}

std::string TFakeUart::Sent() const {
  std::lock_guard<std::mutex> L(FLock);
  return FState->Sent;
}

size_t TFakeUart::Queued() const {
  std::lock_guard<std::mutex> L(FLock);
  return FState->Queue.size();
}

void TFakeUart::SetInputLines(int TiocmBits) {
  std::lock_guard<std::mutex> L(FLock);
  FState->Inputs = TiocmBits;
}

int TFakeUart::LineLooks() const {
  std::lock_guard<std::mutex> L(FLock);
  return FState->LineLooks;
}

int TFakeUart::OutputLines() const {
  std::lock_guard<std::mutex> L(FLock);
  return FState->OutputLines;
}

int TFakeUart::Rises(int TiocmLine) const {
  std::lock_guard<std::mutex> L(FLock);
  return FState->Rises[Slot(TiocmLine)];
}

int TFakeUart::CallsWhileUp(int TiocmLine) const {
  std::lock_guard<std::mutex> L(FLock);
  return FState->CallsWhileUp[Slot(TiocmLine)];
}

void TFakeUart::SetHangUpOnClose(bool On) {
  std::lock_guard<std::mutex> L(FLock);
  if (On)
    FState->Settings.c_cflag |= HUPCL;
  else
    FState->Settings.c_cflag &= ~HUPCL;
}

void TFakeUart::SetSubstitute(std::function<void(termios2&)> Substitute) {
  std::lock_guard<std::mutex> L(FLock);
  FState->Substitute = std::move(Substitute);
}

int TFakeUart::Opens() const {
  std::lock_guard<std::mutex> L(FLock);
  return FState->Opens;
}

void TFakeUart::PauseAt(unsigned long Request, std::function<void()> Pause) {
  std::lock_guard<std::mutex> L(FLock);
  FState->PauseRequest = Request;
  FState->Pause = std::move(Pause);
}

int TFakeUart::PausedCallSession() const {
  std::lock_guard<std::mutex> L(FLock);
  return FState->PausedCallSession;
}

bool TFakeUart::Enter(int Fd) {
  if (Fd < 0 || Fd != FState->Fd) return false;
  for (int Line : {TIOCM_DTR, TIOCM_RTS})
    if (FState->OutputLines & Line) ++FState->CallsWhileUp[Slot(Line)];
  return true;
}

void TFakeUart::SetOutputs(int Lines) {
  for (int Line : {TIOCM_DTR, TIOCM_RTS})
    if ((Lines & Line) && !(FState->OutputLines & Line)) ++FState->Rises[Slot(Line)];
  FState->OutputLines = Lines & Outputs;
}

int TFakeUart::Open(const char* Path, int Flags) {
  const int Fd = TDeviceCalls::Open(Path, Flags);
  std::lock_guard<std::mutex> L(FLock);
  if (Fd >= 0 && FPath == Path) {
    FState->Fd = Fd;
    ++FState->Opens;
    FState->CallsWhileUp[0] = FState->CallsWhileUp[1] = 0;
    // The tty layer raises both lines on open unless the kept rate is 0.
    if (FState->Settings.c_cflag & CBAUD) SetOutputs(Outputs);
  }
  return Fd;
}

int TFakeUart::Close(int Fd) {
  {
    std::lock_guard<std::mutex> L(FLock);
    if (Enter(Fd)) {
      if (FState->Settings.c_cflag & HUPCL) SetOutputs(0);
      FState->Queue.clear();
      FState->Fd = -1;
    }
  }
  return TDeviceCalls::Close(Fd);
}

ssize_t TFakeUart::Read(int Fd, void* Buffer, size_t Count) {
  {
    std::lock_guard<std::mutex> L(FLock);
    Enter(Fd);
  }
  return TDeviceCalls::Read(Fd, Buffer, Count);
}

ssize_t TFakeUart::Write(int Fd, const void* Buffer, size_t Count) {
  std::lock_guard<std::mutex> L(FLock);
  if (!Enter(Fd)) return TDeviceCalls::Write(Fd, Buffer, Count);
  FState->Queue.append(static_cast<const char*>(Buffer), Count);
  return static_cast<ssize_t>(Count);
}

int TFakeUart::Ioctl(int Fd, unsigned long Request, void* Arg) {
  std::unique_lock<std::mutex> L(FLock);
  if (FState->Pause && Request == FState->PauseRequest && Fd >= 0 && Fd == FState->Fd) {
    const std::function<void()> Pause = std::move(FState->Pause);
    FState->Pause = nullptr;
    L.unlock();
    Pause();
    L.lock();
    FState->PausedCallSession = Fd == FState->Fd ? FState->Opens : 0;
  }
  if (!Enter(Fd)) {
    L.unlock();
    return TDeviceCalls::Ioctl(Fd, Request, Arg);
  }
  return DeviceIoctl(Fd, Request, Arg);
}

int TFakeUart::DeviceIoctl(int Fd, unsigned long Request, void* Arg) {
  TState& S = *FState;
  switch (Request) {
    case TIOCOUTQ: {
      const size_t Leaving = std::min({S.Pace, S.Allowed, S.Queue.size()});
      S.Sent += S.Queue.substr(0, Leaving);
      S.Queue.erase(0, Leaving);
      S.Allowed -= Leaving;
      *static_cast<int*>(Arg) = static_cast<int>(S.Queue.size());
      return 0;
    }
    case TCFLSH: {
      const auto Queues = reinterpret_cast<uintptr_t>(Arg);
      if (Queues == TCOFLUSH || Queues == TCIOFLUSH) S.Queue.clear();
      return TDeviceCalls::Ioctl(Fd, Request, Arg);
    }
    case TIOCMGET:
      ++S.LineLooks;
      *static_cast<int*>(Arg) = S.Inputs | S.OutputLines;
      return 0;
    case TIOCMBIS:
      SetOutputs(S.OutputLines | *static_cast<int*>(Arg));
      return 0;
    case TIOCMBIC:
      SetOutputs(S.OutputLines & ~*static_cast<int*>(Arg));
      return 0;
    case TIOCGICOUNT:
      *static_cast<serial_icounter_struct*>(Arg) = serial_icounter_struct{};
      return 0;
    case TIOCGSERIAL:
      *static_cast<serial_struct*>(Arg) = serial_struct{};
      return 0;
    case TCGETS2:
      *static_cast<termios2*>(Arg) = S.Settings;
      return 0;
    case TCSETS2: {
      // The pty underneath must still run in raw mode for the reads.
      if (TDeviceCalls::Ioctl(Fd, Request, Arg) != 0) return -1;
      termios2 New = *static_cast<const termios2*>(Arg);
      if (S.Substitute) S.Substitute(New);
      const bool WasZero = (S.Settings.c_cflag & CBAUD) == B0, IsZero = (New.c_cflag & CBAUD) == B0;
      // Leaving rate 0 raises the lines, as the serial core does; going to 0 drops them.
      if (WasZero && !IsZero) SetOutputs(S.OutputLines | Outputs);
      if (!WasZero && IsZero) SetOutputs(0);
      S.Settings = New;
      return 0;
    }
    default:
      return TDeviceCalls::Ioctl(Fd, Request, Arg);
  }
}
