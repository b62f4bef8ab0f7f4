// Reads a raster picture's size from its file header, without decoding it,
// so that absurdly large pictures can be refused before any pixel memory is
// taken.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korimbo {

struct HeaderSize {
    uint64_t Width = 0;
    uint64_t Height = 0;
};

// The size a PNG, JPEG, BMP or GIF file declares; nothing for other kinds
// and for headers too short or broken to say. Raises Failure when the file
// cannot be opened (a missing file, for instance).
std::optional<HeaderSize> ReadHeaderSize(const std::wstring& path);

}  // namespace korimbo
