// varo-indicator-sim: a simulated floor indicator on a pseudo-terminal.
#include <signal.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>
#include <exception>
#include <string>

#include "FloorDrawing.h"
#include "Indicator.h"
#include "core/ProjectFile.h"

namespace {

const char* const Usage =
    "usage: varo-indicator-sim [options]\n"
    "  Opens a pseudo-terminal, prints its path on the first line and plays a VARO\n"
    "  floor indicator there until stopped; every image written to it is drawn.\n"
    "  --link PATH        also make PATH a symbolic link to the pseudo-terminal\n"
    "  --project FILE     start with the project of a .vrd file (default: floors 0 to 15)\n"
    "  --paced            answer \"r\" at the line rate, 19200 bit/s\n"
    "  --fault NAME       misbehave: silent, wrong-answer, late-answer, extra-bytes,\n"
    "                     hang-up-in-write, short-image, esc-in-image, silent-mid-image\n"
    "  --times N          the fault strikes the first N times only\n"
    "  --hang-up-after N  image bytes taken before hang-up-in-write drops the line (100)\n"
    "  --corrupt POS      store byte POS (0 to 255) of every written image wrong\n"
    "  --record FILE      write every byte received to FILE, one line each:\n"
    "                     microseconds since the start, then the byte in hex\n"
    "  --draw FILE        draw the floors of a .vrd file and exit\n";

varo::DeviceImage ProjectAsDevice(const std::string& path) {
  const varo::ProjectImage p = varo::DecodeDeviceImage(varo::ReadProjectFile(path), varo::CodeSystemForm::File);
  return varo::EncodeDeviceImage(p, varo::CodeSystemForm::Device);
}

int Number(const char* text, const char* option) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (!*text || *end || value < 0 || value > 1000000) throw std::invalid_argument(std::string(option) + ": not a count: " + text);
  return static_cast<int>(value);
}

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  sim::Behaviour behaviour;
  varo::DeviceImage image = sim::DefaultImage();
  std::string link;
  std::string record;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      auto value = [&]() -> const char* {
        if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
        return argv[++i];
      };
      if (arg == "--link") {
        link = value();
      } else if (arg == "--record") {
        record = value();
      } else if (arg == "--project") {
        image = ProjectAsDevice(value());
      } else if (arg == "--paced") {
        behaviour.Paced = true;
      } else if (arg == "--fault") {
        const std::string name = value();
        const auto fault = sim::FaultNamed(name);
        if (!fault) throw std::invalid_argument("no such fault: " + name);
        behaviour.Fault = *fault;
      } else if (arg == "--times") {
        behaviour.Times = Number(value(), "--times");
      } else if (arg == "--hang-up-after") {
        behaviour.HangUpAfter = Number(value(), "--hang-up-after");
      } else if (arg == "--corrupt") {
        behaviour.CorruptAt = Number(value(), "--corrupt");
        if (behaviour.CorruptAt >= varo::DeviceImageSize) throw std::invalid_argument("--corrupt: no such position");
      } else if (arg == "--draw") {
        Print(sim::DrawFloors(ProjectAsDevice(value())));
        return 0;
      } else if (arg == "--help" || arg == "-h") {
        Print(Usage);
        return 0;
      } else {
        throw std::invalid_argument("unknown option " + arg);
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "varo-indicator-sim: %s\n%s", e.what(), Usage);
    return 2;
  }

  // The indicator's thread must not take the signals; this thread waits for them.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  try {
    sim::Listener listener;
    listener.Log = [](const std::string& line) { Print(line + "\n"); };
    listener.Stored = [](const varo::DeviceImage& stored) { Print(sim::DrawFloors(stored)); };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> recording(nullptr, std::fclose);
    if (!record.empty()) {
      recording.reset(std::fopen(record.c_str(), "w"));
      if (!recording) throw std::system_error(errno, std::generic_category(), record);
      const sim::Clock::time_point start = sim::Clock::now();
      listener.Received = [file = recording.get(), start](unsigned char byte, sim::Clock::time_point at) {
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(at - start).count();
        std::fprintf(file, "%lld %02X\n", static_cast<long long>(us), byte);
        std::fflush(file);
      };
    }
    sim::Indicator indicator(behaviour, image, link, listener);
    Print(indicator.Path() + "\n");
    const timespec tick{0, 200000000};
    while (!indicator.HungUp())
      if (sigtimedwait(&stop, nullptr, &tick) > 0) break;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "varo-indicator-sim: %s\n", e.what());
    return 1;
  }
  return 0;
}
