#pragma once
// The floors an image holds, drawn as text: a line naming the floor range,
// code system and buzzer, then each frame as the display picture shows it
// ('#' lit, '.' dark segment), several frames side by side.
#include <string>

#include "core/DeviceImage.h"

namespace sim {

// An image the window could not show is named as such, with the reason.
std::string DrawFloors(const varo::DeviceImage& image);

// One pattern on the display picture, as text rows.
std::string DrawPattern(const varo::SegmentPattern& pattern);

}  // namespace sim
