// termios2 read-back, apart from <termios.h> users.
#include <asm/termbits.h>
#include <sys/ioctl.h>

unsigned DeviceBitRate(int Fd) {
  struct termios2 T {};
  if (ioctl(Fd, TCGETS2, &T) != 0) return 0;
  return T.c_ospeed;
}
