#include "CodeSystems.h"

#include <stdexcept>
#include <string>

namespace varo {

const CodeSystemInfo CodeSystems[CodeSystemCount] = {
    {"Binary Decoding", " Binary", " BINARY", 1},
    {"Gray Decoding", " Gray", " GRAY", 2},
    {"Sayıcı (Tek Tüp)", " Sayıcı 1", " SAYICI 1", 4},
    {"Sayıcı 2", " Sayıcı 2", " SAYICI 2", 8},
    {"7 Segment", " 7 Segment", " 7 SEGMENT", 16},
};

uint8_t CodeSystemToDevice(uint8_t index) {
  if (index >= CodeSystemCount) throw std::out_of_range("code system " + std::to_string(index));
  return CodeSystems[index].DeviceValue;
}

std::optional<uint8_t> CodeSystemFromDevice(uint8_t value) {
  for (uint8_t i = 0; i < CodeSystemCount; ++i)
    if (CodeSystems[i].DeviceValue == value) return i;
  return std::nullopt;
}

}  // namespace varo
