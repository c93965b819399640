// The advice after a failure of the port, for Windows' reasons: the English source texts here,
// with no catalog loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include "CPort.h"
#include "core/DeviceAdvice.h"

TEST(WindowsDeviceAdvice, NamesWhatToDoForWindowsReasons) {
  const char* const held = "Another program holds COM3; close it (a terminal program, another programmer, a modem tool).";
  const char* const missing = "There is no COM3 now: plug the USB adapter in and see in Device Manager, under \"Ports "
                              "(COM & LPT)\", which COM number it has.";
  const char* const driver = "The adapter's driver does not answer for COM3: plug the adapter in again, or install "
                             "its driver (Device Manager shows a warning sign on it).";
  const struct {
    varo::DeviceFailure Failure;
    const char* Advice;  // "" for none
  } cases[] = {
      {{CError_OpenFailed, ERROR_ACCESS_DENIED, "COM3"}, held},
      {{CError_OpenFailed, ERROR_SHARING_VIOLATION, "COM3"}, held},
      {{CError_OpenFailed, ERROR_FILE_NOT_FOUND, "COM3"}, missing},
      {{CError_OpenFailed, ERROR_PATH_NOT_FOUND, "COM3"}, missing},
      {{CError_OpenFailed, ERROR_GEN_FAILURE, "COM3"}, driver},
      {{CError_OpenFailed, ERROR_DEVICE_NOT_CONNECTED, "COM3"}, driver},
      {{CError_SetStateFailed, ERROR_INVALID_FUNCTION, "NUL"},
       "NUL is no serial port: choose the port the indicator is connected to."},
      {{CError_WriteFailed, ERROR_GEN_FAILURE, "COM3", 100},
       "The line was lost during the write: the indicator now holds a partial image. Check the connection and write "
       "again."},
      // The Linux reasons' numbers mean other things here: no advice for them.
      {{CError_OpenFailed, 16, "COM3"}, ""},
      {{CError_SetStateFailed, ERROR_INVALID_PARAMETER, "COM3"}, ""},
      {{CError_WriteFailed, ERROR_GEN_FAILURE, "COM3", 0}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Failure.SystemErrorCode);
    EXPECT_EQ(varo::DeviceErrorAdvice(c.Failure), c.Advice);
  }
  const EComPort missingPort(CError_OpenFailed, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(varo::WithDeviceAdvice(missingPort.Message(), {CError_OpenFailed, ERROR_FILE_NOT_FOUND, "COM3"}),
            std::string("Unable to open com port (win error code: 2)\n") + missing);
}
