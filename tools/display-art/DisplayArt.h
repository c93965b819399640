#pragma once
#include "Canvas.h"

namespace art {

// The 432 x 345 display picture: two slanted 16-segment characters, every
// segment a closed region in SegmentColor with a one-pixel black outline.
Canvas DrawDisplay();

}  // namespace art
