#pragma once
// Rules of the two floor lists: which last floors may follow a first floor.
#include <cstdint>
#include <vector>

namespace varo {

constexpr int FirstFloorItemCount = 68;  // "-8" .. "59"

// The first-floor list: -8 .. 59; item index = floor + 8.
std::vector<int> FirstFloorList();
// The last-floor list rebuilt for a first floor (-8 .. 59).
std::vector<int> LastFloorList(int firstFloor);
// The item to select after a rebuild: the old last floor if the list holds it,
// otherwise the last (highest) item.
int ReselectIndex(const std::vector<int>& lastFloors, int lastFloor);
// last - first + 1 in 8-bit arithmetic.
uint8_t FrameCountOf(int firstFloor, int lastFloor);

}  // namespace varo
