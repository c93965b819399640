#pragma once
// What the simulated indicator answers, byte by byte: the handshake, the
// write, read and show-floor-numbers commands, and the faults it can be told
// to show. Pure logic; Indicator.h puts it on a pseudo-terminal.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/DeviceImage.h"

namespace sim {

using Clock = std::chrono::steady_clock;

enum class Fault {
  None,
  Silent,          // no answer to "y"
  WrongAnswer,     // "e" instead of "E"
  LateAnswer,      // "E" only after LateAnswerMs
  ExtraBytes,      // "E" followed by ExtraAnswerBytes
  HangUpInWrite,   // the line drops after HangUpAfter image bytes of a write
  ShortImage,      // "r" is answered with one byte missing
  EscInImage,      // "r" is answered with byte 27 at EscPosition
  SilentMidImage,  // "r" is answered with the first half only
};

constexpr int LateAnswerMs = 250;
constexpr const char* ExtraAnswerBytes = "V1.0";
constexpr int EscPosition = 5;
// An image whose bytes stop for this long is given up.
constexpr std::chrono::milliseconds ImageByteTimeout{1000};

// The fault's name on the command line ("silent", "late-answer", ...); nothing for an unknown name.
std::optional<Fault> FaultNamed(const std::string& name);
const char* FaultName(Fault fault);

struct Behaviour {
  sim::Fault Fault = sim::Fault::None;
  int Times = -1;         // how often the fault strikes; -1 every time
  int HangUpAfter = 100;  // image bytes taken before the line drops
  bool Paced = false;     // answer "r" at the line rate, one byte per character time
  int CorruptAt = -1;     // a written image is stored with this position's bits inverted
};

// Everything the indicator does in answer to one byte.
struct Reaction {
  std::string Send;
  std::chrono::milliseconds Delay{0};  // before the first byte of Send
  bool Paced = false;
  bool HangUp = false;
  std::optional<varo::DeviceImage> Stored;  // an image was written in full
  std::vector<std::string> Log;
};

struct Counts {
  int Handshakes = 0;  // "y" bytes taken as a handshake
  int Writes = 0;      // "w" commands
  int Reads = 0;       // "r" commands
  int Shows = 0;       // "s" commands
  int Stored = 0;      // images written in full
  int Abandoned = 0;   // images given up part way
};

// The default project: floors 0 to 15, Gray, buzzer off, as the indicator sends it.
varo::DeviceImage DefaultImage();

class Protocol {
 public:
  Protocol(Behaviour behaviour, const varo::DeviceImage& image);

  Reaction Take(unsigned char byte, Clock::time_point now);
  // From now on; the count of Times starts again.
  void SetBehaviour(const Behaviour& behaviour);

  const varo::DeviceImage& Image() const { return Image_; }
  const Counts& Seen() const { return Seen_; }

 private:
  enum class State { Idle, Armed, Writing };
  bool Strikes(std::initializer_list<Fault> occasion);
  void Handshake(Reaction& r);
  void Command(unsigned char byte, Reaction& r);
  void ImageByte(unsigned char byte, Reaction& r);
  void Answer(Reaction& r);

  Behaviour Behaviour_;
  varo::DeviceImage Image_;
  State State_ = State::Idle;
  std::vector<unsigned char> Incoming_;
  bool HangUpThisWrite_ = false;
  Clock::time_point LastByte_{};
  int Struck_ = 0;
  Counts Seen_;
};

}  // namespace sim
