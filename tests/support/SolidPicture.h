// Pictures for drawing tests: one colour all over, so that where a picture
// landed can be read off the pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "HostGdiplus.h"

namespace korimbo::test {

// Writes a width x height PNG of one 0xAARRGGBB colour; false if GDI+ failed.
inline bool WriteSolidPng(const std::wstring& path, int width, int height, uint32_t argb) {
    using namespace Gdiplus::DllExports;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), argb);
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != Gdiplus::Ok)
        return false;
    const bool saved = dockhost::SaveImageAsPng(bitmap, path);
    GdipDisposeImage(bitmap);
    return saved;
}

inline uint32_t Alpha(uint32_t argb) { return argb >> 24; }

// Whether two colours differ by at most `tolerance` in every channel.
inline bool Near(uint32_t a, uint32_t b, uint32_t tolerance = 8) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF);
        const int y = static_cast<int>((b >> shift) & 0xFF);
        if (static_cast<uint32_t>(x > y ? x - y : y - x) > tolerance) return false;
    }
    return true;
}

// One letter a row for the pixels of one column: the letter of the palette
// colour the pixel is near, '.' for transparent, '?' for anything else.
struct PaletteEntry {
    char letter;
    uint32_t argb;
};
inline std::string ColumnKinds(const std::vector<uint32_t>& pixels, int width, int column,
                               const std::vector<PaletteEntry>& palette) {
    std::string kinds;
    for (size_t at = static_cast<size_t>(column); at < pixels.size(); at += static_cast<size_t>(width)) {
        char kind = Alpha(pixels[at]) < 16 ? '.' : '?';
        for (const PaletteEntry& entry : palette)
            if (Near(pixels[at], entry.argb, 16)) kind = entry.letter;
        kinds += kind;
    }
    return kinds;
}

// `height` rows of '.', then each span's rows set to its letter, in order.
struct RowSpan {
    char letter;
    int from;
    int count;
};
inline std::string ExpectedKinds(int height, const std::vector<RowSpan>& spans) {
    std::string kinds(static_cast<size_t>(height), '.');
    for (const RowSpan& span : spans)
        for (int y = span.from; y < span.from + span.count; ++y)
            if (y >= 0 && y < height) kinds[static_cast<size_t>(y)] = span.letter;
    return kinds;
}

}  // namespace korimbo::test
