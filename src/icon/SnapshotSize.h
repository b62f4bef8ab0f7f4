// The snapshot's size: 500 pixels on the picture's longer side, the other
// side in proportion.
#pragma once

#include <cstdint>

namespace korimbo {

inline constexpr uint32_t kSnapshotLongSide = 500;

struct PixelSize {
    uint32_t Width = 0;
    uint32_t Height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// Wider than high: 500 wide, round(H / W * 500) high; otherwise 500 high and
// round(W / H * 500) wide, rounded as ScaledLength rounds. A side that would
// round to 0 (a picture more than 1000 times wider than high) is 1 pixel,
// since a bitmap or PNG without rows cannot exist.
PixelSize SnapshotSize(uint32_t width, uint32_t height);

}  // namespace korimbo
