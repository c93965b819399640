#include "cli/DeviceCommands.h"

#include <chrono>
#include <thread>

#include "CPort.h"
#include "window/ImageRefusal.h"
#include "cli/Progress.h"
#include "shell/NativePath.h"
#include "core/DeviceAdvice.h"
#include "core/Translate.h"
#include "core/DeviceProtocol.h"
#include "core/DeviceWrite.h"
#include "core/PreciseTimers.h"
#include "core/ErrorText.h"
#include "core/ImageVerify.h"
#include "core/ProjectFile.h"

namespace {


// Ends the command with its exit code; the message goes to stderr.
struct TCommandEnd {
  int Code;
  std::string Message;
};

// What the window would accept of a project file, as the indicator gets it.
varo::DeviceImage ProjectForDevice(const std::string& path) {
  const varo::DeviceImage bytes = varo::ReadProjectFile(path);
  varo::ProjectImage project;
  try {
    project = varo::DecodeDeviceImage(bytes, varo::CodeSystemForm::File);
  } catch (const varo::EImageRefused& e) {
    throw TCommandEnd{ExitBadProject, ProjectFileRefusalText(ShownPath(path), e).toStdString()};
  }
  return varo::EncodeDeviceImage(project, varo::CodeSystemForm::Device);
}

// The read image as the window's save would store it after a read.
varo::DeviceImage ReadImageAsFile(const varo::DeviceImage& image) {
  varo::ProjectImage project;
  try {
    project = varo::DecodeDeviceImage(image, varo::CodeSystemForm::Device);
  } catch (const varo::EImageRefused& e) {
    throw TCommandEnd{ExitBadProject, ReadRefusalText(e).toStdString()};
  }
  return varo::EncodeDeviceImage(project, varo::CodeSystemForm::File);
}

class TRun {
 public:
  TRun(const TDeviceRequest& request, const TCommandLineIo& io)
      : Request_(request), Io_(io), Progress_(io.Err, io.ErrIsTerminal, request.Quiet) {
    varo::SetIndicatorLine(Port_);
    // Nobody here serves an event thread's hand-overs: reads and writes go straight to the line.
    Port_.SetEvents(TComEvents());
  }

  int Run() {
    try {
      Dispatch();
      return ExitDone;
    } catch (const TCommandEnd& end) {
      return Fail(end.Code, end.Message);
    } catch (const varo::EFileError& e) {
      return Fail(ExitBadProject, varo::WithFullStop(e.what()));
    } catch (const EComPort& e) {
      // Open leaves the port closed; a line that fails later leaves it open.
      const varo::DeviceFailure failure{e.ComErrorCode(), e.SystemErrorCode(), Request_.Port,
                                        Request_.Command == TDeviceCommandKind::Write ? Sent_ : 0};
      return Fail(Port_.Connected() ? ExitLineFailed : ExitPortNotOpened,
                  varo::WithFullStop(varo::WithDeviceAdvice(e.Message(), failure)));
    } catch (const std::exception& e) {
      return Fail(ExitFailed, e.what());
    }
  }

 private:
  void Dispatch() {
    switch (Request_.Command) {
      case TDeviceCommandKind::Write: {
        const varo::DeviceImage image = ProjectForDevice(Request_.File);
        Progress_.Start(varo::Tr("write"), varo::DeviceImageSize);
        Check(Link().Write(image), true);
        Result(varo::WriteDoneText);
        return;
      }
      case TDeviceCommandKind::Verify: {
        const varo::DeviceImage sent = ProjectForDevice(Request_.File);
        const varo::DeviceImage back = ReadBack();
        const std::vector<varo::TImageDifference> differences = varo::CompareImages(sent, back);
        Result(varo::VerifyReport(sent, differences));
        if (!differences.empty()) throw TCommandEnd{ExitMismatch, ""};
        return;
      }
      case TDeviceCommandKind::Read: {
        const varo::DeviceImage file = ReadImageAsFile(ReadBack());
        varo::WriteProjectFile(Request_.File, file);
        Result(varo::Tr("Settings saved: %1", Request_.File));
        return;
      }
      case TDeviceCommandKind::ShowFloors:
        if (!Link().ShowFloors()) throw NoAnswerOrStop();
        // Closing discards what the line has not carried yet: give the "s" a byte's time.
        Io_.Pause(varo::BytePauseMs);
        Port_.Close();
        Result(varo::Tr("The indicator is showing its floor numbers."));
        return;
    }
  }

  varo::DeviceImage ReadBack() {
    varo::DeviceImage image{};
    Progress_.Start(varo::Tr("read"), varo::DeviceImageSize);
    const varo::TTransfer got = Link().Read(image);
    Check(got, false);
    Port_.Close();
    if (got.End == varo::TTransferEnd::Silent)
      throw TCommandEnd{ExitLineFailed, varo::Tr("the indicator sent %1 of 256 bytes and then nothing for %2 ms",
                                                 std::to_string(got.Bytes), std::to_string(varo::ReadSilenceMs))};
    return image;
  }

  void Check(const varo::TTransfer& t, bool writing) {
    if (t.End == varo::TTransferEnd::NoAnswer) throw NoAnswerOrStop();
    if (t.End != varo::TTransferEnd::Stopped) return;
    const std::string bytes = std::to_string(t.Bytes);
    if (!writing)
      throw TCommandEnd{ExitInterrupted, varo::Tr("interrupted after %1 of 256 bytes received; the port is closed", bytes)};
    if (t.Bytes == 0)
      throw TCommandEnd{ExitInterrupted, varo::Tr("interrupted after %1 of 256 bytes written; the port is closed", bytes)};
    throw TCommandEnd{ExitInterrupted, varo::Tr("interrupted after %1 of 256 bytes written; the port is closed, the "
                                                "indicator holds a partial image",
                                                bytes)};
  }

  // A handshake given up, or one that Ctrl+C ended: the link tells them apart by asking.
  TCommandEnd NoAnswerOrStop() const {
    if (Io_.StopRequested())
      return {ExitInterrupted,
              varo::Tr("interrupted during the handshake, before any image byte; the port is closed")};
    if (Tries_ == 0) return {ExitNoAnswer, varo::Tr("No answer from the indicator (%1, 1 handshake).", Request_.Port)};
    return {ExitNoAnswer, varo::Tr("No answer from the indicator (%1, %2 handshakes).", Request_.Port,
                                   std::to_string(Tries_ + 1))};
  }

  varo::TDeviceLink Link() {
    varo::TDeviceHooks hooks;
    hooks.Pause = Io_.Pause;
    hooks.PortName = [this] { return Request_.Port; };
    hooks.Progress = [this](int value) {
      Sent_ = value;
      Progress_.Show(value);
    };
    hooks.StopRequested = Io_.StopRequested;
    Tries_ = 0;
    hooks.RetryAfterNoAnswer = [this] {
      if (Tries_ >= Request_.Retries || Io_.StopRequested()) return false;
      ++Tries_;
      Note(varo::Tr("no answer to the handshake, trying again (%1/%2)", std::to_string(Tries_),
                    std::to_string(Request_.Retries)));
      return true;
    };
    return varo::TDeviceLink(Port_, std::move(hooks));
  }

  void Result(const std::string& text) {
    Progress_.Finish();
    std::fprintf(Io_.Out, "%s\n", text.c_str());
    std::fflush(Io_.Out);
  }
  void Note(const std::string& text) {
    if (Request_.Quiet) return;
    Progress_.Finish();
    std::fprintf(Io_.Err, "varo-programmer: %s\n", text.c_str());
  }
  int Fail(int code, const std::string& message) {
    Progress_.Finish();
    if (code == ExitInterrupted && Port_.Connected()) Port_.Close();
    if (!message.empty()) std::fprintf(Io_.Err, "varo-programmer: %s\n", message.c_str());
    return code;
  }

  const TDeviceRequest& Request_;
  const TCommandLineIo& Io_;
  TProgress Progress_;
  TComPort Port_;
  int Tries_ = 0;
  int Sent_ = 0;  // image bytes of the transfer so far
};

}  // namespace

int RunDeviceCommand(const TDeviceRequest& request, const TCommandLineIo& io) { return TRun(request, io).Run(); }

void SleepPrecisely(int milliseconds) {
  const varo::TPreciseTimers precise;
  std::this_thread::sleep_until(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds));
}
