// A picture file decoded into a bitmap that keeps nothing of the file.
//
// A bitmap made with GdipCreateBitmapFromFile keeps its file open and locked
// for as long as the bitmap lives; the host may show the docklet's icon for
// hours, while users edit and replace their icon files. This one is decoded
// from a copy of the file's bytes and its pixels are copied once more into
// memory that GDI+ owns, so neither the file nor the copy stays in use. The
// pixels come from the cache of decoded pictures when it has them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/GdiplusObjects.h"

namespace korimbo {

// Files larger than this are not read into memory (no icon is that big).
inline constexpr int64_t kMaxIconFileBytes = 64ll * 1024 * 1024;

// The picture as a 32 bpp ARGB bitmap, pixel for pixel and with the file's
// resolution; empty when the file cannot be read or decoded, is too large, or
// memory runs short.
// The caller owns the result.
UniqueGpImage NewDetachedBitmapFromFile(const std::wstring& path) noexcept;

}  // namespace korimbo
