#include "FloorLists.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace varo {

std::vector<int> FirstFloorList() {
  std::vector<int> list;
  for (int f = -8; f <= 59; ++f) list.push_back(f);
  return list;
}

std::vector<int> LastFloorList(int firstFloor) {
  if (firstFloor < -8 || firstFloor > 59) throw std::out_of_range("first floor " + std::to_string(firstFloor));
  const int top = firstFloor < 0 ? 59 - std::abs(firstFloor) : 60;
  std::vector<int> list;
  for (int f = firstFloor + 1; f <= top; ++f) list.push_back(f);
  return list;
}

int ReselectIndex(const std::vector<int>& lastFloors, int lastFloor) {
  const auto it = std::find(lastFloors.begin(), lastFloors.end(), lastFloor);
  return it != lastFloors.end() ? static_cast<int>(it - lastFloors.begin()) : static_cast<int>(lastFloors.size()) - 1;
}

uint8_t FrameCountOf(int firstFloor, int lastFloor) { return static_cast<uint8_t>(lastFloor - firstFloor + 1); }

}  // namespace varo
