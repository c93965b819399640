#pragma once
// The device link as the indicator sees it: the handshake, the write, the
// show-floor-numbers command and a read straight from the port. The window and
// the command line both run these; what differs between them (pauses, progress,
// the question after a failed handshake, a request to stop) comes in as hooks.
#include <functional>
#include <string>

#include "CPort.h"
#include "DeviceImage.h"

namespace varo {

// 19200 bit/s, 8 data bits, no parity, one stop bit, no flow control.
void SetIndicatorLine(TComPort& port);

// What the technician is told, in the window and on the command line alike.
inline constexpr char NoAnswerText[] = "Cihazla Bağlantı Kurulamadı...";
inline constexpr char WriteDoneText[] = "Yazma İşlemi Tamamlandı...";

struct TDeviceHooks {
  std::function<void(int milliseconds)> Pause;
  // The port to use, asked again at every handshake.
  std::function<std::string()> PortName;
  // The progress bar's new value: 0 at each handshake and before the image,
  // then the bytes sent (or received) so far.
  std::function<void(int value)> Progress = [](int) {};
  // Asked after the indicator failed to answer; true tries again.
  std::function<bool()> RetryAfterNoAnswer = [] { return false; };
  // Runs once the indicator has answered, before the command goes on.
  std::function<void()> AfterAnswer = [] {};
  // Asked before each image byte and while waiting for one; true stops there.
  std::function<bool()> StopRequested = [] { return false; };
};

enum class TTransferEnd {
  NoAnswer,  // the handshake was given up; the port is closed
  Done,
  Stopped,   // StopRequested said so; the port is closed
  Silent,    // a read got no byte for ReadSilenceMs
};

struct TTransfer {
  TTransferEnd End;
  int Bytes;  // image bytes sent or received
};

// A read gives up after this long without a byte (counted in pauses).
constexpr int ReadSilenceMs = 1000;
constexpr int ReadPollMs = 10;

// Every call raises EComPort on a failure of the port and leaves it as it was then; a byte the
// line does not take within the port's write time limit is such a failure (code 2 with the
// system's code for a time limit, TSystemCode::TimedOut). Pauses end on time during each call.
class TDeviceLink {
 public:
  TDeviceLink(TComPort& port, TDeviceHooks hooks) : Port_(port), Hooks_(std::move(hooks)) {}

  // Opens the port and sends "y" until the indicator answers "E" or the
  // question says no more; true leaves the port open.
  bool Connect();
  // The pause, the handshake, another pause, "w" and the 256 bytes paced in
  // their runs; a finished or stopped write closes the port.
  TTransfer Write(const DeviceImage& image);
  // The handshake, a pause and "s"; the port stays open. False without an answer.
  bool ShowFloors();
  // The handshake, a pause, "r", then the answer as it arrives; the port stays open.
  TTransfer Read(DeviceImage& image);
  // Sends a command byte ("w", "r", "s") on the open port after dropping
  // whatever the input holds: more answer bytes than the "E", or a late "E"
  // of an earlier handshake, are no part of what the command brings.
  void Command(char command);

 private:
  void CloseIfOpen();
  TComPort& Port_;
  TDeviceHooks Hooks_;
};

}  // namespace varo
