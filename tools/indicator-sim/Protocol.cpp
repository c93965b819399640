#include "Protocol.h"

#include <cstdio>

#include "core/CodeSystems.h"

namespace sim {

namespace {

struct FaultEntry {
  Fault Value;
  const char* Name;
};

constexpr FaultEntry FaultNames[] = {
    {Fault::None, "none"},
    {Fault::Silent, "silent"},
    {Fault::WrongAnswer, "wrong-answer"},
    {Fault::LateAnswer, "late-answer"},
    {Fault::ExtraBytes, "extra-bytes"},
    {Fault::HangUpInWrite, "hang-up-in-write"},
    {Fault::ShortImage, "short-image"},
    {Fault::EscInImage, "esc-in-image"},
    {Fault::SilentMidImage, "silent-mid-image"},
};

std::string Hex(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

}  // namespace

std::optional<Fault> FaultNamed(const std::string& name) {
  for (const FaultEntry& e : FaultNames)
    if (name == e.Name) return e.Value;
  return std::nullopt;
}

const char* FaultName(Fault fault) {
  for (const FaultEntry& e : FaultNames)
    if (fault == e.Value) return e.Name;
  return "";
}

varo::DeviceImage DefaultImage() {
  varo::ProjectImage p;  // floors 0 to 15, Gray, buzzer off
  for (int floor = 0; floor < p.FrameCount; ++floor) p.Frames.push_back(varo::FloorPattern(floor));
  return varo::EncodeDeviceImage(p, varo::CodeSystemForm::Device);
}

Protocol::Protocol(Behaviour behaviour, const varo::DeviceImage& image) : Behaviour_(behaviour), Image_(image) {}

void Protocol::SetBehaviour(const Behaviour& behaviour) {
  Behaviour_ = behaviour;
  Struck_ = 0;
}

bool Protocol::Strikes(std::initializer_list<Fault> occasion) {
  bool matches = false;
  for (Fault f : occasion) matches = matches || f == Behaviour_.Fault;
  if (!matches || (Behaviour_.Times >= 0 && Struck_ >= Behaviour_.Times)) return false;
  ++Struck_;
  return true;
}

Reaction Protocol::Take(unsigned char byte, Clock::time_point now) {
  Reaction r;
  if (State_ == State::Writing && now - LastByte_ > ImageByteTimeout) {
    r.Log.push_back("image given up after " + std::to_string(Incoming_.size()) + " bytes");
    ++Seen_.Abandoned;
    State_ = State::Idle;
  }
  LastByte_ = now;
  switch (State_) {
    case State::Writing:
      ImageByte(byte, r);
      break;
    case State::Armed:
      Command(byte, r);
      break;
    case State::Idle:
      if (byte == 'y')
        Handshake(r);
      else
        r.Log.push_back("ignored " + Hex(byte));
      break;
  }
  return r;
}

void Protocol::Handshake(Reaction& r) {
  ++Seen_.Handshakes;
  State_ = State::Armed;
  if (Strikes({Fault::Silent, Fault::WrongAnswer, Fault::LateAnswer, Fault::ExtraBytes})) {
    switch (Behaviour_.Fault) {
      case Fault::Silent:
        State_ = State::Idle;
        r.Log.push_back("y: no answer");
        return;
      case Fault::WrongAnswer:
        r.Send = "e";
        r.Log.push_back("y -> e");
        return;
      case Fault::LateAnswer:
        r.Send = "E";
        r.Delay = std::chrono::milliseconds(LateAnswerMs);
        r.Log.push_back("y -> E in " + std::to_string(LateAnswerMs) + " ms");
        return;
      default:
        r.Send = std::string("E") + ExtraAnswerBytes;
        r.Log.push_back(std::string("y -> E") + ExtraAnswerBytes);
        return;
    }
  }
  r.Send = "E";
  r.Log.push_back("y -> E");
}

void Protocol::Command(unsigned char byte, Reaction& r) {
  switch (byte) {
    case 'y':
      Handshake(r);
      return;
    case 'w':
      ++Seen_.Writes;
      State_ = State::Writing;
      Incoming_.clear();
      HangUpThisWrite_ = Strikes({Fault::HangUpInWrite});
      r.Log.push_back("w: taking an image");
      return;
    case 'r':
      ++Seen_.Reads;
      State_ = State::Idle;
      Answer(r);
      return;
    case 's':
      ++Seen_.Shows;
      State_ = State::Idle;
      r.Log.push_back("s: showing the floor numbers");
      return;
    default:
      State_ = State::Idle;
      r.Log.push_back("unknown command " + Hex(byte));
  }
}

void Protocol::ImageByte(unsigned char byte, Reaction& r) {
  Incoming_.push_back(byte);
  if (HangUpThisWrite_ && static_cast<int>(Incoming_.size()) == Behaviour_.HangUpAfter) {
    r.HangUp = true;
    r.Log.push_back("hanging up after " + std::to_string(Incoming_.size()) + " image bytes");
    State_ = State::Idle;
    return;
  }
  if (Incoming_.size() < varo::DeviceImageSize) return;
  std::copy(Incoming_.begin(), Incoming_.end(), Image_.begin());
  if (Behaviour_.CorruptAt >= 0 && Behaviour_.CorruptAt < varo::DeviceImageSize) {
    Image_[Behaviour_.CorruptAt] = static_cast<unsigned char>(~Image_[Behaviour_.CorruptAt]);
    r.Log.push_back("byte " + std::to_string(Behaviour_.CorruptAt) + " stored wrong");
  }
  ++Seen_.Stored;
  State_ = State::Idle;
  r.Stored = Image_;
  r.Log.push_back("image stored");
}

void Protocol::Answer(Reaction& r) {
  std::string image(Image_.begin(), Image_.end());
  if (Strikes({Fault::ShortImage, Fault::EscInImage, Fault::SilentMidImage})) {
    switch (Behaviour_.Fault) {
      case Fault::ShortImage: image.pop_back(); break;
      case Fault::EscInImage: image[EscPosition] = 27; break;
      default: image.resize(image.size() / 2); break;
    }
  }
  r.Send = image;
  r.Paced = Behaviour_.Paced;
  r.Log.push_back("r -> " + std::to_string(image.size()) + " image bytes" + (r.Paced ? " at 19200 bit/s" : ""));
}

}  // namespace sim
