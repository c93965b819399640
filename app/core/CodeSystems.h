#pragma once
// The five code systems by which the indicator decodes its floor inputs.
#include <cstdint>
#include <optional>

namespace varo {

constexpr int CodeSystemCount = 5;

struct CodeSystemInfo {
  const char* ComboText;   // item of the code-system list on the floor-range panel
  const char* StatusText;  // status bar, panel 0
  const char* MenuText;    // status bar menu caption
  uint8_t DeviceValue;     // byte 246 as the indicator sees it
};

extern const CodeSystemInfo CodeSystems[CodeSystemCount];

// 2 to the power of the index; the index must be 0..4.
uint8_t CodeSystemToDevice(uint8_t index);
// 1, 2, 4, 8, 16 back to 0..4; anything else has no index.
std::optional<uint8_t> CodeSystemFromDevice(uint8_t value);

}  // namespace varo
