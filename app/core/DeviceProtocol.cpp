#include "DeviceProtocol.h"

#include "DeviceWrite.h"
#include "PreciseTimers.h"
#include "SerialPorts.h"

namespace varo {

void SetIndicatorLine(TComPort& port) {
  port.SetBaudRate(br19200);
  port.SetDataBits(dbEight);
  port.Parity().SetBits(prNone);
  port.SetStopBits(sbOneStopBit);
  TComFlowControl& flow = port.FlowControl();
  flow.SetOutCTSFlow(false);
  flow.SetOutDSRFlow(false);
  flow.SetControlDTR(dtrDisable);
  flow.SetControlRTS(rtsDisable);
  flow.SetXonXoffOut(false);
  flow.SetXonXoffIn(false);
}

namespace {

// A byte the line did not take within the port's write time limit fails the line: the
// indicator would otherwise keep a command or an image it never got whole.
void Send(TComPort& port, const void* bytes, int count) {
  if (port.Write(bytes, count) < count) throw EComPort(CError_WriteFailed, SystemCode(TSystemCode::TimedOut));
}

void Send(TComPort& port, char command) { Send(port, &command, 1); }

}  // namespace

void TDeviceLink::CloseIfOpen() {
  if (Port_.Connected()) Port_.Close();
}

void TDeviceLink::Command(char command) {
  char drop[64];
  while (Port_.Read(drop, sizeof drop) > 0) {
  }
  Send(Port_, command);
}

bool TDeviceLink::Connect() {
  for (;;) {
    if (Hooks_.StopRequested()) {
      CloseIfOpen();
      return false;
    }
    Hooks_.Progress(0);
    Port_.SetPort(Hooks_.PortName());
    // A line that hung up (adapter pulled, indicator restarted) would refuse
    // every write; open it afresh under the same name.
    if (Port_.Connected() && LineHungUp(Port_.Handle())) Port_.Close();
    if (!Port_.Connected()) Port_.Open();
    Send(Port_, 'y');
    Hooks_.Pause(AnswerPauseMs);
    if (Hooks_.StopRequested()) {
      CloseIfOpen();
      return false;
    }
    std::string answer;
    Port_.ReadString(answer, 1);
    if (answer == "E") break;
    Hooks_.Progress(0);
    if (!Hooks_.RetryAfterNoAnswer()) {
      CloseIfOpen();
      return false;
    }
  }
  Hooks_.AfterAnswer();
  Port_.SetPort(Hooks_.PortName());
  if (!Port_.Connected()) Port_.Open();
  return true;
}

TTransfer TDeviceLink::Write(const DeviceImage& image) {
  const TPreciseTimers precise;
  Hooks_.Pause(CommandPauseMs);
  if (!Connect()) return {TTransferEnd::NoAnswer, 0};
  Hooks_.Pause(CommandPauseMs);
  Command('w');
  Hooks_.Progress(0);
  int sent = 0;
  for (const WriteRun& run : DeviceWriteRuns(image)) {
    for (int position = run.Begin; position < run.End; ++position) {
      if (Hooks_.StopRequested()) {
        CloseIfOpen();
        return {TTransferEnd::Stopped, sent};
      }
      Send(Port_, &image[position], 1);
      Hooks_.Pause(BytePauseMs);
      Hooks_.Progress(++sent);
    }
    if (run.PauseAfterMs > 0) Hooks_.Pause(run.PauseAfterMs);
  }
  CloseIfOpen();
  return {TTransferEnd::Done, sent};
}

bool TDeviceLink::ShowFloors() {
  const TPreciseTimers precise;
  if (!Connect()) return false;
  Hooks_.Pause(ShowFloorsPauseMs);
  if (Hooks_.StopRequested()) {
    CloseIfOpen();
    return false;
  }
  Command('s');
  return true;
}

TTransfer TDeviceLink::Read(DeviceImage& image) {
  const TPreciseTimers precise;
  if (!Connect()) return {TTransferEnd::NoAnswer, 0};
  Hooks_.Pause(CommandPauseMs);
  Command('r');
  Hooks_.Progress(0);
  int got = 0;
  int quietMs = 0;
  while (got < DeviceImageSize) {
    const int n = Port_.Read(image.data() + got, DeviceImageSize - got);
    if (n > 0) {
      got += n;
      quietMs = 0;
      Hooks_.Progress(got);
      continue;
    }
    if (Hooks_.StopRequested()) {
      CloseIfOpen();
      return {TTransferEnd::Stopped, got};
    }
    if (quietMs >= ReadSilenceMs) return {TTransferEnd::Silent, got};
    Hooks_.Pause(ReadPollMs);
    quietMs += ReadPollMs;
  }
  return {TTransferEnd::Done, got};
}

}  // namespace varo
