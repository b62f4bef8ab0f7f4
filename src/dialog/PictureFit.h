// Where a picture goes in a box when it is drawn proportionally, centred and
// stretched: as large as the box allows without changing its shape.
#pragma once

#include <windows.h>

namespace korimbo {

// The picture's place in a box of boxWidth x boxHeight, origin at the box's
// top left; empty when either size is not positive. Lengths are truncated,
// but never below one pixel, and the leftover space is split evenly, an odd
// pixel going to the far side.
RECT ProportionalStretchRect(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight);

}  // namespace korimbo
