#include "dialog/PictureFit.h"

#include <cstdint>

namespace korimbo {

RECT ProportionalStretchRect(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0) return RECT{0, 0, 0, 0};
    // Integer cross-multiplication: no rounding drift, whatever the FPU mode.
    const int64_t pw = pictureWidth, ph = pictureHeight, bw = boxWidth, bh = boxHeight;
    int64_t width = bw;
    int64_t height = bw * ph / pw;
    if (height > bh) {
        height = bh;
        width = bh * pw / ph;
    }
    // A sliver of a picture still shows as one pixel.
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    const auto left = static_cast<LONG>((bw - width) / 2);
    const auto top = static_cast<LONG>((bh - height) / 2);
    return RECT{left, top, left + static_cast<LONG>(width), top + static_cast<LONG>(height)};
}

}  // namespace korimbo
