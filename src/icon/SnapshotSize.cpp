#include "icon/SnapshotSize.h"

#include <algorithm>

#include "icon/Rounding.h"

namespace korimbo {

PixelSize SnapshotSize(uint32_t width, uint32_t height) {
    const auto atLeastOne = [](int32_t length) { return static_cast<uint32_t>(std::max(length, 1)); };
    if (height < width) return {kSnapshotLongSide, atLeastOne(ScaledLength(height, width, kSnapshotLongSide))};
    return {atLeastOne(ScaledLength(width, height, kSnapshotLongSide)), kSnapshotLongSide};
}

}  // namespace korimbo
