#include "Pty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

TPty::TPty() {
  FMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (FMaster < 0 || grantpt(FMaster) != 0 || unlockpt(FMaster) != 0) throw std::runtime_error("no pty");
  char Name[128];
  if (ptsname_r(FMaster, Name, sizeof Name) != 0) throw std::runtime_error("no pty name");
  FPath = Name;
}

TPty::~TPty() { CloseMaster(); }

void TPty::CloseMaster() {
  if (FMaster >= 0) ::close(FMaster);
  FMaster = -1;
}

void TPty::Send(const std::string& Bytes) {
  size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t N = ::write(FMaster, Bytes.data() + Done, Bytes.size() - Done);
    if (N <= 0) throw std::runtime_error("pty master write failed");
    Done += static_cast<size_t>(N);
  }
}

std::string TPty::Receive(size_t Count, int TimeoutMs) {
  std::string Got;
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (Got.size() < Count) {
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(End - std::chrono::steady_clock::now());
    pollfd P{FMaster, POLLIN, 0};
    if (Left.count() <= 0 || ::poll(&P, 1, static_cast<int>(Left.count())) <= 0) break;
    char Buf[4096];
    const ssize_t N = ::read(FMaster, Buf, std::min(sizeof Buf, Count - Got.size()));
    if (N <= 0) break;
    Got.append(Buf, static_cast<size_t>(N));
  }
  return Got;
}

bool WaitUntil(const std::function<bool()>& Condition, int TimeoutMs) {
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Condition()) {
    if (std::chrono::steady_clock::now() > End) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool ServeUntil(const std::function<bool()>& Done, int TimeoutMs) {
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Done()) {
    if (std::chrono::steady_clock::now() > End) return false;
    WaitForHandOvers(std::chrono::milliseconds(10));
    ServeHandOvers();
  }
  return true;
}

int CodeOf(const std::function<void()>& Call, int32_t* System) {
  try {
    Call();
  } catch (const EComPort& E) {
    if (System) *System = E.SystemErrorCode();
    return E.ComErrorCode();
  }
  return 0;
}

bool WaitForInput(TCustomComPort& Port, int32_t Count) {
  return WaitUntil([&] { return Port.InputQueueCount() >= Count; });
}

bool WaitForQueuedInput(TCustomComPort& Port, int32_t Count) {
  return WaitUntil([&] {
    int InDriver = -1;
    return Port.InputQueueCount() == Count && ::ioctl(Port.Handle(), FIONREAD, &InDriver) == 0 && InDriver == 0;
  });
}

void OpenWithoutEvents(TCustomComPort& Port, const TPty& Pty) {
  Port.SetEvents({});
  Port.SetPort(Pty.Path());
  Port.Open();
}
