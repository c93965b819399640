// The window tests run inside the program's own application object.
#include <gtest/gtest.h>

#include "shell/VaroApplication.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Windows list serial ports when created: no test may touch the machine's own.
  qputenv("VARO_DEVICE_ROOT", "/nonexistent/varo-device-root");
  TVaroApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
