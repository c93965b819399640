// The record-to-termios mapping, checked directly: a pty keeps CS8 and no parity whatever it
// is told, so those bits cannot be read back from one.
#include <asm/termbits.h>
#include <gtest/gtest.h>

#include <functional>

#include "PortDevice.h"

namespace {

// A record of a line: 9600 bit/s, 8 data bits; the cases change what they look at.
TDCB Line() {
  TDCB D;
  D.BaudRate = 9600;
  D.ByteSize = 8;
  return D;
}

termios2 Mapped(const TDCB& Dcb) {
  termios2 T{};
  T.c_lflag = 0xFFFF;  // whatever was there is replaced
  T.c_iflag = 0xFFFF;
  EXPECT_TRUE(cport_device::LineTermios(Dcb, T));
  return T;
}

TEST(LineTermiosTest, SizeParityAndStopBits) {
  struct Case {
    uint8_t ByteSize, Parity, StopBits;
    tcflag_t Expected;
  } Cases[] = {
      {8, 0, 0, CS8},
      {7, 1, 0, CS7 | PARENB | PARODD},
      {6, 2, 2, CS6 | PARENB | CSTOPB},
      {5, 3, 1, CS5 | PARENB | CMSPAR | PARODD | CSTOPB},
      {8, 4, 0, CS8 | PARENB | CMSPAR},
  };
  for (const Case& C : Cases) {
    TDCB D = Line();
    D.ByteSize = C.ByteSize;
    D.Parity = C.Parity;
    D.StopBits = C.StopBits;
    const termios2 T = Mapped(D);
    EXPECT_EQ(T.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), C.Expected) << int(C.ByteSize);
    EXPECT_EQ(T.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
    EXPECT_EQ(T.c_lflag, 0u);
    EXPECT_EQ(T.c_oflag, 0u);
    EXPECT_EQ(T.c_cc[VMIN], 1);
    EXPECT_EQ(T.c_cc[VTIME], 0);
  }
}

TEST(LineTermiosTest, RatesUseStandardCodesOrBother) {
  struct Case {
    uint32_t Rate;
    tcflag_t Code;
  } Cases[] = {{110, B110}, {9600, B9600}, {19200, B19200}, {115200, B115200},
               {14400, BOTHER}, {56000, BOTHER}, {128000, BOTHER}, {256000, BOTHER}, {31250, BOTHER}};
  for (const Case& C : Cases) {
    TDCB D = Line();
    D.BaudRate = C.Rate;
    const termios2 T = Mapped(D);
    EXPECT_EQ(T.c_cflag & CBAUD, C.Code) << C.Rate;
    EXPECT_EQ(T.c_ospeed, C.Rate);
    EXPECT_EQ(T.c_ispeed, C.Rate);
  }
  termios2 T{};
  TDCB D = Line();
  D.BaudRate = 0;
  EXPECT_FALSE(cport_device::LineTermios(D, T));
  D.BaudRate = static_cast<uint32_t>(-9600);
  EXPECT_FALSE(cport_device::LineTermios(D, T));
}

TEST(LineTermiosTest, FlowControlAndErrorReplacement) {
  TDCB D = Line();
  D.fOutX = true;
  D.XonChar = 'A';
  D.XoffChar = 'B';
  termios2 T = Mapped(D);
  EXPECT_EQ(T.c_iflag & (IXON | IXOFF | INPCK), tcflag_t(IXON));
  EXPECT_EQ(T.c_cc[VSTART], 'A');
  EXPECT_EQ(T.c_cc[VSTOP], 'B');
  EXPECT_FALSE(T.c_cflag & CRTSCTS);

  D.fOutX = false;
  D.fInX = true;
  D.fRtsControl = 2;
  T = Mapped(D);
  EXPECT_EQ(T.c_iflag & (IXON | IXOFF), tcflag_t(IXOFF));
  EXPECT_TRUE(T.c_cflag & CRTSCTS);
  D.fRtsControl = 0;
  D.fOutxCtsFlow = true;
  EXPECT_TRUE(Mapped(D).c_cflag & CRTSCTS);

  // Checked parity passes bad bytes on unless they are to be replaced: then the driver marks them.
  D.fParity = true;
  EXPECT_FALSE(Mapped(D).c_iflag & (INPCK | PARMRK));
  D.fErrorChar = true;
  EXPECT_EQ(Mapped(D).c_iflag & (INPCK | PARMRK | IGNPAR), tcflag_t(INPCK | PARMRK));
}

TEST(LineTermiosTest, RecordsNoLineCanFollowAreRefused) {
  const struct {
    const char* Name;
    std::function<void(TDCB&)> Change;
    bool Valid;
  } Cases[] = {
      {"4 data bits", [](TDCB& D) { D.ByteSize = 4; }, false},
      {"9 data bits", [](TDCB& D) { D.ByteSize = 9; }, false},
      {"parity 5", [](TDCB& D) { D.Parity = 5; }, false},
      {"stop bits 3", [](TDCB& D) { D.StopBits = 3; }, false},
      {"DTR mode 3", [](TDCB& D) { D.fDtrControl = 3; }, false},
      {"RTS mode 4", [](TDCB& D) { D.fRtsControl = 4; }, false},
      {"1.5 stop bits, 5 data bits", [](TDCB& D) { D.ByteSize = 5, D.StopBits = 1; }, true},
      {"1.5 stop bits, 6 data bits", [](TDCB& D) { D.ByteSize = 6, D.StopBits = 1; }, false},
      {"1.5 stop bits, 7 data bits", [](TDCB& D) { D.ByteSize = 7, D.StopBits = 1; }, false},
      {"1.5 stop bits, 8 data bits", [](TDCB& D) { D.StopBits = 1; }, false},
      {"2 stop bits, 5 data bits", [](TDCB& D) { D.ByteSize = 5, D.StopBits = 2; }, false},
      {"2 stop bits, 6 data bits", [](TDCB& D) { D.ByteSize = 6, D.StopBits = 2; }, true},
      {"DTR handshake, RTS toggle", [](TDCB& D) { D.fDtrControl = 2, D.fRtsControl = 3; }, true},
  };
  for (const auto& C : Cases) {
    TDCB D = Line();
    C.Change(D);
    termios2 T{};
    EXPECT_EQ(cport_device::LineTermios(D, T), C.Valid) << C.Name;
  }
}

TEST(LineTermiosTest, ALineIsKeptWithinThreePercentAndWithTheSameFrame) {
  const struct {
    const char* Name;
    uint32_t GotRate;
    tcflag_t Asked, Got;
    bool Kept;
  } Cases[] = {
      {"as asked", 100000, CS8, CS8, true},
      {"3 % fast", 103000, CS8, CS8, true},
      {"3 % slow", 97000, CS8, CS8, true},
      {"over 3 % fast", 103001, CS8, CS8, false},
      {"over 3 % slow", 96999, CS8, CS8, false},
      {"rate of the old setting", 9600, CS8, CS8, false},
      {"size replaced", 100000, CS6, CS8, false},
      {"parity dropped", 100000, CS7 | PARENB, CS7, false},
      {"mark becomes odd", 100000, CS8 | PARENB | CMSPAR | PARODD, CS8 | PARENB | PARODD, false},
      {"odd becomes even", 100000, CS8 | PARENB | PARODD, CS8 | PARENB, false},
      {"odd flag without parity", 100000, CS8 | PARODD, CS8, true},
      {"stop bits dropped", 100000, CS8 | CSTOPB, CS8, false},
  };
  for (const auto& C : Cases) {
    termios2 Asked{}, Got{};
    Asked.c_ospeed = 100000;
    Got.c_ospeed = C.GotRate;
    Asked.c_cflag = C.Asked | CREAD;
    Got.c_cflag = C.Got | CREAD | HUPCL;
    EXPECT_EQ(cport_device::LineKept(Asked, Got), C.Kept) << C.Name;
  }
}

}  // namespace
