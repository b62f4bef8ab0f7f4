// Loads a picture file with GDI+ for the plug-in's own drawing.
//
// The reader is chosen by the file name's extension, without regard to case:
// bmp, ico, emf, wmf, jpg, jpeg and png are read. A name without an extension
// is read by its content (Windows keeps the current wallpaper as an
// extension-less JPEG). Raster pictures too large to decode safely in a 32-bit
// process are refused from their header, before anything is decoded.
#pragma once

#include <cstdint>
#include <string>

#include "platform/GdiplusObjects.h"

namespace korimbo {

// The largest raster picture decoded: 64 megapixels, 256 MB at 32 bits per
// pixel. An 8K picture (7680 x 4320, 33 megapixels) is well within it.
inline constexpr uint64_t kMaxPicturePixels = 64ull * 1024 * 1024;

// Whether the file name's extension (or its lack of one) names a readable kind.
bool HasReadablePictureName(const std::wstring& path);

// The decoded picture, owned by the caller. Raises Failure naming the path
// when the name is empty or has an unreadable extension, the file is missing
// or damaged, or the picture is larger than kMaxPicturePixels.
UniqueGpImage LoadPicture(const std::wstring& path);

}  // namespace korimbo
