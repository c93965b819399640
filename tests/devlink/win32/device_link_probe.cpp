// The device link of app/core through the Win32 serial backend, as the programs run it: writes a
// project to the indicator on a COM port, then reads the indicator back into a second file.
// usage: device_link_probe <COMn> <project.vrd> <read-back.vrd>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <thread>

#include "CPort.h"
#include "core/DeviceImage.h"
#include "core/DeviceProtocol.h"
#include "core/ProjectFile.h"

namespace {

const char* EndName(varo::TTransferEnd end) {
  switch (end) {
    case varo::TTransferEnd::NoAnswer: return "no answer";
    case varo::TTransferEnd::Done: return "done";
    case varo::TTransferEnd::Stopped: return "stopped";
    case varo::TTransferEnd::Silent: return "silent";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: device_link_probe <COMn> <project.vrd> <read-back.vrd>\n", stderr);
    return 2;
  }
  const std::string com = argv[1];
  try {
    TComPort port;
    port.SetEvents(TComEvents());
    varo::SetIndicatorLine(port);
    varo::TDeviceHooks hooks;
    hooks.Pause = [](int ms) {
      std::this_thread::sleep_until(std::chrono::steady_clock::now() + std::chrono::milliseconds(ms));
    };
    hooks.PortName = [&com] { return com; };
    varo::TDeviceLink link(port, hooks);

    const varo::DeviceImage image = varo::EncodeDeviceImage(
        varo::DecodeDeviceImage(varo::ReadProjectFile(argv[2]), varo::CodeSystemForm::File),
        varo::CodeSystemForm::Device);
    const varo::TTransfer written = link.Write(image);
    std::printf("write: %s, %d bytes\n", EndName(written.End), written.Bytes);
    if (written.End != varo::TTransferEnd::Done) return 1;

    varo::DeviceImage back{};
    const varo::TTransfer read = link.Read(back);
    std::printf("read: %s, %d bytes\n", EndName(read.End), read.Bytes);
    port.Close();
    if (read.End != varo::TTransferEnd::Done) return 1;
    varo::WriteProjectFile(argv[3], varo::EncodeDeviceImage(varo::DecodeDeviceImage(back, varo::CodeSystemForm::Device),
                                                            varo::CodeSystemForm::File));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "device_link_probe: %s\n", e.what());
    return 1;
  }
}
