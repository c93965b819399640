// The line of advice after a failure of the port, for the failures a technician can act on.
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
       "Port başka bir programda açık; o programı kapatın. Portu kimin tuttuğunu 'fuser -v /dev/ttyUSB0' gösterir."},
      {{CError_OpenFailed, EAGAIN, "/dev/ttyUSB0"},
       "Port başka bir programda açık; o programı kapatın. Portu kimin tuttuğunu 'fuser -v /dev/ttyUSB0' gösterir."},
      {{CError_OpenFailed, EACCES, "/dev/ttyS0"},
       "Bu portu açma izniniz yok; kullanıcınızı 'dialout' grubuna ekleyin (sudo usermod -aG dialout $USER) ve oturumu "
       "yeniden açın."},
      {{CError_SetStateFailed, ENOTTY, "/home/t/proje.vrd"},
       "/home/t/proje.vrd bir seri port değil; göstergenin bağlı olduğu portu seçin."},
      {{CError_WriteFailed, EIO, "/dev/ttyUSB0", 100},
       "Hat yazma sırasında koptu: gösterge şimdi yarım bir görüntü tutuyor. Bağlantıyı denetleyip yeniden yazın."},
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
