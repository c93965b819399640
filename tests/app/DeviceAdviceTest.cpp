// The line of advice after a failure of the port, for the failures a technician can act on: the
// English source texts here, with no catalog loaded (the Turkish ones are checked with the catalogs).
#include <gtest/gtest.h>

#include <cerrno>

#include "CPort.h"
#include "core/DeviceAdvice.h"

TEST(DeviceAdvice, NamesWhatToDoForTheFailuresATechnicianCanActOn) {
  const struct {
    varo::DeviceFailure Failure;
    const char* Advice;  // "" for none
  } cases[] = {
      {{CError_OpenFailed, EBUSY, "/dev/ttyUSB0"},
       "Another program holds the port; close it. 'fuser -v /dev/ttyUSB0' shows which one."},
      {{CError_OpenFailed, EAGAIN, "/dev/ttyUSB0"},
       "Another program holds the port; close it. 'fuser -v /dev/ttyUSB0' shows which one."},
      {{CError_OpenFailed, EACCES, "/dev/ttyS0"},
       "You may not open this port: add your user to the 'dialout' group (sudo usermod -aG dialout $USER) and log in "
       "again."},
      {{CError_SetStateFailed, ENOTTY, "/home/t/proje.vrd"},
       "/home/t/proje.vrd is no serial port: choose the port the indicator is connected to."},
      {{CError_WriteFailed, EIO, "/dev/ttyUSB0", 100},
       "The line was lost during the write: the indicator now holds a partial image. Check the connection and write "
       "again."},
      // Nothing of the image went out yet, a missing port, a refused rate: the message says enough.
      {{CError_WriteFailed, EIO, "/dev/ttyUSB0", 0}, ""},
      {{CError_OpenFailed, ENOENT, "/dev/ttyUSB0"}, ""},
      {{CError_SetStateFailed, EINVAL, "/dev/ttyUSB0"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Failure.SystemErrorCode);
    EXPECT_EQ(varo::DeviceErrorAdvice(c.Failure), c.Advice);
    const std::string message = "message (win error code: 1)";
    EXPECT_EQ(varo::WithDeviceAdvice(message, c.Failure), *c.Advice ? message + "\n" + c.Advice : message);
  }
}
