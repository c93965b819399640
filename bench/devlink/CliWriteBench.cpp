// The command line's write of the default project to the simulated indicator,
// the whole program run from start to exit, against the pauses a write is held
// to. Goal: overhead <= 1 %.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "Indicator.h"
#include "core/DeviceWrite.h"
#include "core/ProjectFile.h"

extern char** environ;

int main() {
  sim::Indicator indicator;
  const varo::DeviceImage device = sim::DefaultImage();
  varo::ProjectImage project = varo::DecodeDeviceImage(device, varo::CodeSystemForm::Device);
  char dir[] = "/tmp/varo-cli-bench-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  const std::string file = std::string(dir) + "/project.vrd";
  varo::WriteProjectFile(file, varo::EncodeDeviceImage(project, varo::CodeSystemForm::File));

  std::string port = indicator.Path();
  const char* argv[] = {VARO_PROGRAMMER, "--port", port.c_str(), "--write", file.c_str(), "--quiet", nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  // Only the BENCH lines on our standard output.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  if (posix_spawn(&child, VARO_PROGRAMMER, &quiet, nullptr, const_cast<char**>(argv), environ) != 0) return 1;
  posix_spawn_file_actions_destroy(&quiet);
  int status = 0;
  waitpid(child, &status, 0);
  const double measured = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  ::unlink(file.c_str());
  ::rmdir(dir);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      !indicator.WaitUntil([&] { return indicator.Seen().Stored == 1; }, std::chrono::seconds(5)) ||
      indicator.Image() != device) {
    std::fprintf(stderr, "the write did not complete\n");
    return 1;
  }
  const double mandated = varo::MandatedWriteMs(device);
  std::printf("BENCH cli_write_measured %.1f ms\n", measured);
  std::printf("BENCH cli_write_mandated %.0f ms\n", mandated);
  std::printf("BENCH cli_write_overhead %.2f %%\n", 100.0 * (measured - mandated) / mandated);
  return 0;
}
