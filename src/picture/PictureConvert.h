// Module PictureConvert: writes a bitmap as a PNG file with our own encoder
// over zlib.
//
// Layout: 8-bit RGB truecolour for bitmaps of 16 or more bits per pixel, a
// palette image of the bitmap's own depth below that; never interlaced, no
// transparency; chunks IHDR, PLTE (palette images only), IDAT chunks of at
// most 65535 data bytes each, IEND.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korimbo {

// A bitmap as the encoder takes it: rows top first, each row laid out as a
// Windows DIB lays it out.
struct PixelBitmap {
    uint32_t Width = 0;
    uint32_t Height = 0;
    // 1, 2, 4, 8: palette indices packed from the high bits of each byte;
    // 16: little-endian 5-5-5 words (top bit unused);
    // 24: B, G, R bytes; 32: B, G, R and an unused byte.
    uint32_t BitsPerPixel = 24;
    size_t Stride = 0;  // bytes from one row to the next, at least the row's own bytes
    std::vector<uint8_t> Rows;
    // Palette bitmaps: the colours of the indices; entries past its end are black.
    std::vector<RGBQUAD> Palette;
};

// Bytes one row of `width` pixels needs at `bitsPerPixel`, unpadded.
size_t PackedRowBytes(uint32_t width, uint32_t bitsPerPixel);

// What deflate looks for in the filtered rows.
enum class PngMatching {
    // Runs of repeated bytes only (zlib's Z_RLE). Filtered photographs hold
    // few longer matches: this is as small as full matching on them, several
    // times faster, and still packs flat areas.
    RunsOnly,
    Full,  // zlib's default string matching
};

struct PngOptions {
    int ZlibLevel = 6;            // 0 (stored blocks only) .. 9
    bool AdaptiveFilters = true;  // pick each truecolour row's filter; else every row unfiltered
    PngMatching Matching = PngMatching::RunsOnly;
};

// Only stored deflate blocks and unfiltered rows, so tests can read the raw
// rows back out of the IDAT data.
inline constexpr PngOptions kStoredPngOptions{0, false, PngMatching::Full};

// The PNG file's bytes. Raises Failure for a bitmap it cannot describe (zero
// or negative size, an unknown depth, too few bytes for its rows).
std::vector<uint8_t> EncodePng(const PixelBitmap& bitmap, const PngOptions& options = {});

// Writes the PNG to a temporary file beside `path` and moves it over `path`,
// so a failed or interrupted write leaves the old file as it was. Raises
// Failure; the temporary file is removed on failure.
void SaveBitmapAsPng(const PixelBitmap& bitmap, const std::wstring& path, const PngOptions& options = {});

}  // namespace korimbo
