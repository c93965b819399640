#include "DeviceProtocol.h"

#include <sys/prctl.h>

#include "DeviceWrite.h"
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

void UsePreciseTimers() {
  static const bool precise = prctl(PR_SET_TIMERSLACK, 1UL) == 0;
  (void)precise;
}

void TDeviceLink::CloseIfOpen() {
  if (Port_.Connected()) Port_.Close();
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
    Port_.WriteString("y");
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
  Hooks_.Pause(CommandPauseMs);
  if (!Connect()) return {TTransferEnd::NoAnswer, 0};
  Hooks_.Pause(CommandPauseMs);
  Port_.WriteString("w");
  Hooks_.Progress(0);
  int sent = 0;
  for (const WriteRun& run : DeviceWriteRuns(image)) {
    for (int position = run.Begin; position < run.End; ++position) {
      if (Hooks_.StopRequested()) {
        CloseIfOpen();
        return {TTransferEnd::Stopped, sent};
      }
      Port_.Write(&image[position], 1);
      Hooks_.Pause(BytePauseMs);
      Hooks_.Progress(++sent);
    }
    if (run.PauseAfterMs > 0) Hooks_.Pause(run.PauseAfterMs);
  }
  CloseIfOpen();
  return {TTransferEnd::Done, sent};
}

bool TDeviceLink::ShowFloors() {
  if (!Connect()) return false;
  Hooks_.Pause(ShowFloorsPauseMs);
  if (Hooks_.StopRequested()) {
    CloseIfOpen();
    return false;
  }
  Port_.WriteString("s");
  return true;
}

TTransfer TDeviceLink::Read(DeviceImage& image) {
  if (!Connect()) return {TTransferEnd::NoAnswer, 0};
  Hooks_.Pause(CommandPauseMs);
  Port_.WriteString("r");
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
