// Decoded pictures kept from one drawing to the next, so that a docklet's
// miniature desktop is not decoded from PNG anew each time the host asks.
//
// Each use reads the file again and compares its bytes with those the
// pixels were decoded from: a changed, replaced or removed file is noticed at
// once, and equal bytes give the pixels the decoder would give. Only pixels
// are kept between drawings; GDI+ objects live no longer than one drawing.
#pragma once

#include <memory>
#include <string>

#include "platform/GdiplusObjects.h"

namespace korimbo {

struct DecodedPixels;

// A bitmap drawing straight from cached pixels, which it keeps alive.
struct CachedPicture {
    std::shared_ptr<const DecodedPixels> pixels;  // declared first: outlives the bitmap
    UniqueGpImage bitmap;

    explicit operator bool() const noexcept { return static_cast<bool>(bitmap); }
};

// The picture at path, empty when the file cannot be read or decoded as a
// raster picture, or is too large to keep, or memory runs short.
CachedPicture LoadCachedPicture(const std::wstring& path) noexcept;

// Forgets every cached picture.
void ClearPictureCache() noexcept;

}  // namespace korimbo
