// A pseudo-terminal pair for the serial tests: the port opens the slave, the test plays the
// device on the master.
#pragma once

#include <functional>
#include <string>

#include "CPort.h"

class TPty {
 public:
  TPty();
  ~TPty();
  TPty(const TPty&) = delete;
  TPty& operator=(const TPty&) = delete;

  const std::string& Path() const { return FPath; }
  int Master() const { return FMaster; }
  void Send(const std::string& Bytes);
  // Bytes the port wrote, waiting up to TimeoutMs for Count of them.
  std::string Receive(size_t Count, int TimeoutMs = 2000);
  void CloseMaster();

 private:
  int FMaster = -1;
  std::string FPath;
};

// Polls Condition every millisecond until it holds or TimeoutMs passes.
bool WaitUntil(const std::function<bool()>& Condition, int TimeoutMs = 2000);

// Opens Port on the pty's slave without an event thread.
void OpenWithoutEvents(TCustomComPort& Port, const TPty& Pty);

// Waits until the port's input queue holds Count bytes.
bool WaitForInput(TCustomComPort& Port, int32_t Count);

// Waits until the event thread has moved Count bytes from the driver into the port's queue: all
// were counted (the driver's and the queue's), and then the driver held none.
bool WaitForQueuedInput(TCustomComPort& Port, int32_t Count);

// Serves hand-overs as the GUI's loop would, until Done holds or TimeoutMs passes.
bool ServeUntil(const std::function<bool()>& Done, int TimeoutMs = 3000);

// The EComPort code Call raised (its system code into System), 0 when it raised none.
int CodeOf(const std::function<void()>& Call, int32_t* System = nullptr);

// Bit rate the descriptor's driver holds, through termios2 (any rate).
unsigned DeviceBitRate(int Fd);
