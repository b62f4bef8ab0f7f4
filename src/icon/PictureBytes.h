// Pictures as bytes in memory: a whole file read without keeping it open, and
// decoded from a copy, so no file stays in use by what GDI+ made of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/GdiplusObjects.h"

namespace korimbo {

// Reads the whole file, opened so that others may still write, rename or
// delete it meanwhile. False when the file cannot be opened or read, is empty, or is larger than
// maxBytes; `bytes` is then unspecified.
bool ReadFileBytes(const std::wstring& path, int64_t maxBytes, std::vector<uint8_t>& bytes);

// The picture GDI+ decodes from the bytes; empty when it cannot. The bytes
// may go at once: the decoder works on a copy of its own.
UniqueGpImage DecodePictureBytes(const std::vector<uint8_t>& bytes);

// Whether the image is a bitmap, whose pixels can be locked; a metafile is not.
bool IsRasterPicture(Gdiplus::GpImage* image);

}  // namespace korimbo
