// The PNG encoder's output is read back by GDI+ (an independent decoder) and
// compared pixel for pixel; its chunk layout is read by hand.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>

#include "picture/PictureConvert.h"
#include "platform/Failure.h"
#include "support/PictureFiles.h"
#include "support/TestFolders.h"

namespace korimbo {
namespace {

using test::ArgbPicture;
using test::PngChunk;

struct BitmapCase {
    const char* name;
    uint32_t width;
    uint32_t height;
    uint32_t bitsPerPixel;
    size_t rowPadding;      // bytes after each row's pixels
    size_t paletteEntries;  // palette bitmaps; indices may point past it
};

PixelBitmap MakeBitmap(const BitmapCase& c, uint32_t seed = 1) {
    std::mt19937 random(seed);
    PixelBitmap bitmap;
    bitmap.Width = c.width;
    bitmap.Height = c.height;
    bitmap.BitsPerPixel = c.bitsPerPixel;
    bitmap.Stride = PackedRowBytes(c.width, c.bitsPerPixel) + c.rowPadding;
    bitmap.Rows.resize(bitmap.Stride * c.height);
    for (auto& byte : bitmap.Rows) byte = static_cast<uint8_t>(random());
    for (size_t i = 0; i < c.paletteEntries; ++i) {
        const auto r = static_cast<uint32_t>(random());
        bitmap.Palette.push_back({static_cast<BYTE>(r), static_cast<BYTE>(r >> 8), static_cast<BYTE>(r >> 16), 0});
    }
    return bitmap;
}

// The colour a pixel must have, worked out from the bitmap's own layout.
uint32_t ExpectedArgb(const PixelBitmap& bitmap, uint32_t x, uint32_t y) {
    const uint8_t* row = bitmap.Rows.data() + y * bitmap.Stride;
    const auto rgb = [](unsigned r, unsigned g, unsigned b) { return 0xFF000000u | (r << 16) | (g << 8) | b; };
    switch (bitmap.BitsPerPixel) {
        case 32:
        case 24: {
            const uint8_t* p = row + x * (bitmap.BitsPerPixel / 8);
            return rgb(p[2], p[1], p[0]);
        }
        case 16: {
            const unsigned word = row[x * 2] | (unsigned{row[x * 2 + 1]} << 8);
            const auto expand = [](unsigned v) { return (v << 3) | (v >> 2); };
            return rgb(expand((word >> 10) & 31), expand((word >> 5) & 31), expand(word & 31));
        }
        default: {
            const uint32_t bits = bitmap.BitsPerPixel;
            const uint32_t bitOffset = x * bits;
            const unsigned index = (row[bitOffset / 8] >> (8 - bits - bitOffset % 8)) & ((1u << bits) - 1);
            if (index >= bitmap.Palette.size()) return rgb(0, 0, 0);
            const RGBQUAD& entry = bitmap.Palette[index];
            return rgb(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
        }
    }
}

ArgbPicture DecodeWithGdiplus(const std::vector<uint8_t>& png) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"decoded.png");
    test::WriteWholeFile(path, png);
    return test::DecodePicture(path);
}

void ExpectSamePixels(const PixelBitmap& bitmap, const ArgbPicture& decoded) {
    ASSERT_EQ(decoded.Width, static_cast<int>(bitmap.Width));
    ASSERT_EQ(decoded.Height, static_cast<int>(bitmap.Height));
    int mismatches = 0;
    for (uint32_t y = 0; y < bitmap.Height; ++y)
        for (uint32_t x = 0; x < bitmap.Width; ++x)
            if (decoded.At(static_cast<int>(x), static_cast<int>(y)) != ExpectedArgb(bitmap, x, y) &&
                ++mismatches <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex
                              << decoded.At(static_cast<int>(x), static_cast<int>(y)) << " instead of "
                              << ExpectedArgb(bitmap, x, y);
    EXPECT_EQ(mismatches, 0);
}

std::vector<uint8_t> IdatData(const std::vector<PngChunk>& chunks) {
    std::vector<uint8_t> data;
    for (const PngChunk& chunk : chunks)
        if (chunk.Type == "IDAT") data.insert(data.end(), chunk.Data.begin(), chunk.Data.end());
    return data;
}

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& compressed, size_t expectedSize) {
    std::vector<uint8_t> out(expectedSize + 1);
    uLongf length = static_cast<uLongf>(out.size());
    if (::uncompress(out.data(), &length, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK)
        return {};
    out.resize(length);
    return out;
}

const BitmapCase kCases[] = {
    {"truecolour24", 37, 23, 24, 0, 0},
    {"truecolour24_padded", 13, 9, 24, 3, 0},
    {"truecolour32", 31, 17, 32, 0, 0},
    {"rgb555", 29, 11, 16, 2, 0},
    {"single_pixel", 1, 1, 24, 0, 0},
    {"palette8", 41, 19, 8, 1, 256},
    {"palette4", 33, 7, 4, 3, 16},
    {"palette2", 19, 5, 2, 0, 4},
    {"palette1_odd_width", 45, 6, 1, 2, 2},
    {"palette8_short", 16, 16, 8, 0, 3},  // indices past the palette: black
};

class EncodedBitmap : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(EncodedBitmap, DecodesToTheSamePixelsAtEveryLevel) {
    const PixelBitmap bitmap = MakeBitmap(GetParam());
    for (const PngOptions options : {PngOptions{}, kStoredPngOptions, PngOptions{9, true}, PngOptions{1, true},
                                     PngOptions{6, true, PngMatching::Full}, PngOptions{6, false}}) {
        SCOPED_TRACE("zlib level " + std::to_string(options.ZlibLevel) + (options.AdaptiveFilters ? " filtered" : "") +
                     (options.Matching == PngMatching::Full ? " full matching" : ""));
        ExpectSamePixels(bitmap, DecodeWithGdiplus(EncodePng(bitmap, options)));
    }
}

TEST_P(EncodedBitmap, HasTheChunkLayoutOfItsDepth) {
    const PixelBitmap bitmap = MakeBitmap(GetParam());
    const auto chunks = test::ReadPngChunks(EncodePng(bitmap));
    ASSERT_GE(chunks.size(), 3u) << "signature or a CRC is wrong";
    const bool paletted = bitmap.BitsPerPixel <= 8;

    ASSERT_EQ(chunks.front().Type, "IHDR");
    const std::vector<uint8_t>& header = chunks.front().Data;
    ASSERT_EQ(header.size(), 13u);
    EXPECT_EQ(test::ReadBigEndian32(&header[0]), bitmap.Width);
    EXPECT_EQ(test::ReadBigEndian32(&header[4]), bitmap.Height);
    EXPECT_EQ(header[8], paletted ? bitmap.BitsPerPixel : 8u);
    EXPECT_EQ(header[9], paletted ? 3 : 2);
    EXPECT_EQ(header[10], 0);
    EXPECT_EQ(header[11], 0);
    EXPECT_EQ(header[12], 0) << "interlaced";

    size_t next = 1;
    if (paletted) {
        ASSERT_EQ(chunks[next].Type, "PLTE");
        EXPECT_EQ(chunks[next].Data.size(), 3u << bitmap.BitsPerPixel);
        ++next;
    }
    ASSERT_EQ(chunks[next].Type, "IDAT");
    while (next < chunks.size() && chunks[next].Type == "IDAT") ++next;
    ASSERT_EQ(next, chunks.size() - 1) << "only IEND may follow the IDAT chunks";
    EXPECT_EQ(chunks.back().Type, "IEND");
    EXPECT_TRUE(chunks.back().Data.empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, EncodedBitmap, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(PngEncoder, SplitsLargeImagesIntoIdatChunksOfAtMost65535Bytes) {
    // Noise does not compress: about 480 KB of stored data.
    const PixelBitmap bitmap = MakeBitmap({"noise", 400, 400, 24, 0, 0});
    for (const PngOptions options : {kStoredPngOptions, PngOptions{}, PngOptions{6, true, PngMatching::Full}}) {
        const auto chunks = test::ReadPngChunks(EncodePng(bitmap, options));
        std::vector<size_t> sizes;
        for (const PngChunk& chunk : chunks)
            if (chunk.Type == "IDAT") sizes.push_back(chunk.Data.size());
        ASSERT_GT(sizes.size(), 7u);
        for (size_t i = 0; i < sizes.size(); ++i) {
            EXPECT_LE(sizes[i], 65535u);
            if (i + 1 < sizes.size()) {
                EXPECT_EQ(sizes[i], 65535u) << "only the last IDAT may be short";
            }
            EXPECT_GT(sizes[i], 0u);
        }
        ExpectSamePixels(bitmap, DecodeWithGdiplus(EncodePng(bitmap, options)));
    }
}

TEST(PngEncoder, StoredModeKeepsEveryRowUnfilteredAndUncompressed) {
    const PixelBitmap bitmap = MakeBitmap({"rows", 21, 13, 24, 1, 0});
    const auto chunks = test::ReadPngChunks(EncodePng(bitmap, kStoredPngOptions));
    const size_t rowLength = 1 + 21 * 3;
    const std::vector<uint8_t> idat = IdatData(chunks);
    // Stored deflate blocks: the data is barely larger than the rows.
    EXPECT_LT(idat.size(), rowLength * 13 + 64);
    const std::vector<uint8_t> raw = Inflate(idat, rowLength * 13);
    ASSERT_EQ(raw.size(), rowLength * 13);
    for (uint32_t y = 0; y < 13; ++y) {
        EXPECT_EQ(raw[y * rowLength], 0) << "row " << y << " is filtered";
        for (uint32_t x = 0; x < 21; ++x) {
            const uint32_t argb = ExpectedArgb(bitmap, x, y);
            const uint8_t* p = &raw[y * rowLength + 1 + x * 3];
            EXPECT_EQ(p[0], test::Red(argb));
            EXPECT_EQ(p[1], test::Green(argb));
            EXPECT_EQ(p[2], test::Blue(argb));
        }
    }
}

TEST(PngEncoder, AdaptiveFiltersShrinkSmoothPictures) {
    PixelBitmap gradient;
    gradient.Width = 500;
    gradient.Height = 281;
    gradient.Stride = 1500;
    gradient.Rows.resize(1500 * 281);
    for (uint32_t y = 0; y < 281; ++y)
        for (uint32_t x = 0; x < 500; ++x) {
            uint8_t* p = &gradient.Rows[y * 1500 + x * 3];
            p[0] = static_cast<uint8_t>(x * 255 / 499);
            p[1] = static_cast<uint8_t>(y * 255 / 280);
            p[2] = static_cast<uint8_t>((x + y) / 4);
        }
    for (const PngMatching matching : {PngMatching::RunsOnly, PngMatching::Full}) {
        const size_t unfiltered = EncodePng(gradient, PngOptions{6, false, matching}).size();
        const size_t filtered = EncodePng(gradient, PngOptions{6, true, matching}).size();
        EXPECT_LT(filtered * 2, unfiltered);
    }
    // Flat areas pack well with runs alone.
    PixelBitmap flat = gradient;
    std::fill(flat.Rows.begin(), flat.Rows.end(), uint8_t{0x5A});
    EXPECT_LT(EncodePng(flat).size(), 2000u);
    ExpectSamePixels(gradient, DecodeWithGdiplus(EncodePng(gradient)));
}

TEST(PngEncoder, RefusesBitmapsItCannotDescribe) {
    const PixelBitmap good = MakeBitmap({"good", 4, 4, 24, 0, 0});
    struct Refusal {
        const char* why;
        PixelBitmap bitmap;
    };
    std::vector<Refusal> refusals;
    {
        PixelBitmap b = good;
        b.Width = 0;
        refusals.push_back({"zero width", b});
    }
    {
        PixelBitmap b = good;
        b.Height = 0;
        refusals.push_back({"zero height", b});
    }
    {
        PixelBitmap b = good;
        b.BitsPerPixel = 12;
        refusals.push_back({"unknown depth", b});
    }
    {
        PixelBitmap b = good;
        b.Rows.resize(b.Rows.size() - 1);
        refusals.push_back({"rows too short", b});
    }
    {
        PixelBitmap b = good;
        b.Stride = 11;
        refusals.push_back({"stride shorter than a row", b});
    }
    {
        PixelBitmap b = good;
        b.Height = 0x80000000u;
        refusals.push_back({"taller than PNG allows", b});
    }
    for (const Refusal& refusal : refusals) EXPECT_THROW(EncodePng(refusal.bitmap), Failure) << refusal.why;
    EXPECT_THROW(EncodePng(good, PngOptions{10, true}), Failure) << "zlib level 10";
}

class SavedPng : public ::testing::Test {
protected:
    test::TempFolder folder_;
    PixelBitmap bitmap_ = MakeBitmap({"saved", 16, 9, 24, 0, 0});
};

TEST_F(SavedPng, ReplacesTheOldFileAndLeavesNoTemporaryFile) {
    const std::wstring path = folder_.File(L"wallpaper.png");
    test::WriteWholeFile(path, std::string("old contents"));
    SaveBitmapAsPng(bitmap_, path);
    EXPECT_EQ(test::ReadWholeFile(path), EncodePng(bitmap_));
    EXPECT_FALSE(test::FileExists(path + L".tmp"));
}

TEST_F(SavedPng, FailureLeavesTheOldFileAsItWas) {
    const std::wstring path = folder_.File(L"wallpaper.png");
    test::WriteWholeFile(path, std::string("old contents"));
    PixelBitmap broken = bitmap_;
    broken.Rows.clear();
    EXPECT_THROW(SaveBitmapAsPng(broken, path), Failure);
    EXPECT_EQ(test::ReadWholeFile(path),
              std::vector<uint8_t>({'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't', 's'}));

    // A write that cannot reach its folder fails without touching anything.
    EXPECT_THROW(SaveBitmapAsPng(bitmap_, folder_.File(L"missing\\wallpaper.png")), Failure);
    EXPECT_FALSE(test::FileExists(folder_.File(L"missing\\wallpaper.png.tmp")));
}

TEST_F(SavedPng, FailedMoveRemovesTheTemporaryFile) {
    // A folder in the way of the snapshot's name: the move cannot replace it.
    const std::wstring path = folder_.File(L"taken.png");
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
    EXPECT_THROW(SaveBitmapAsPng(bitmap_, path), Failure);
    EXPECT_FALSE(test::FileExists(path + L".tmp"));
    ::RemoveDirectoryW(path.c_str());
}

TEST_F(SavedPng, WritesNonAsciiAndLongPaths) {
    const std::wstring wide = folder_.File(test::Utf8ToWide("Обои \xe5\xa3\x81\xe7\xba\xb8 \xf0\x9f\x8c\x84.png"));
    SaveBitmapAsPng(bitmap_, wide);
    ExpectSamePixels(bitmap_, test::DecodePicture(wide));

    // Past MAX_PATH: folders reached only in the extended form.
    std::wstring folder = L"\\\\?\\" + folder_.Path();
    for (int i = 0; i < 5; ++i) {
        folder += std::wstring(60, static_cast<wchar_t>(L'a' + i)) + L"\\";
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    }
    const std::wstring longPath = folder.substr(4) + L"wallpaper.png";
    ASSERT_GT(longPath.size(), static_cast<size_t>(MAX_PATH));
    SaveBitmapAsPng(bitmap_, longPath);
    EXPECT_EQ(test::ReadWholeFile(L"\\\\?\\" + longPath), EncodePng(bitmap_));
    ::DeleteFileW((L"\\\\?\\" + longPath).c_str());
    for (int i = 4; i >= 0; --i) {
        ::RemoveDirectoryW(folder.c_str());
        folder.resize(folder.size() - 61);
    }
}

}  // namespace
}  // namespace korimbo
