// Test pictures made and read with GDI+'s own codecs, so the plug-in's
// reader and encoder are checked against an independent implementation.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "HostGdiplus.h"

namespace korimbo::test {

// A picture in memory: 32-bit ARGB pixels (0xAARRGGBB), rows top first.
struct ArgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int x, int y) const {
        return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
    }
};

inline ArgbPicture FilledPicture(int width, int height, uint32_t argb) {
    return {width, height, std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), argb)};
}

// "image/png", "image/jpeg", "image/bmp", "image/gif".
inline bool FindEncoder(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0, bytes = 0;
    Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes);
    std::vector<uint8_t> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == mimeType) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// Saves the picture through GDI+'s encoder for the MIME type; JPEG at the
// given quality.
inline bool SavePicture(const ArgbPicture& picture, const std::wstring& path, const wchar_t* mimeType,
                        ULONG jpegQuality = 90) {
    namespace gp = Gdiplus::DllExports;
    CLSID encoder{};
    if (!FindEncoder(mimeType, &encoder)) return false;
    Gdiplus::GpBitmap* bitmap = nullptr;
    auto* scan0 = reinterpret_cast<BYTE*>(const_cast<uint32_t*>(picture.Pixels.data()));
    if (gp::GdipCreateBitmapFromScan0(picture.Width, picture.Height, picture.Width * 4, PixelFormat32bppARGB,
                                      scan0, &bitmap) != Gdiplus::Ok)
        return false;
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &jpegQuality;
    const bool jpeg = std::wstring(mimeType) == L"image/jpeg";
    const bool ok =
        gp::GdipSaveImageToFile(bitmap, path.c_str(), &encoder, jpeg ? &parameters : nullptr) == Gdiplus::Ok;
    gp::GdipDisposeImage(bitmap);
    return ok;
}

// Decodes a picture file with GDI+; an empty picture when it cannot.
inline ArgbPicture DecodePicture(const std::wstring& path) {
    namespace gp = Gdiplus::DllExports;
    ArgbPicture picture;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok) return picture;
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(bitmap, &width);
    gp::GdipGetImageHeight(bitmap, &height);
    Gdiplus::GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    if (gp::GdipBitmapLockBits(bitmap, &rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) ==
        Gdiplus::Ok) {
        picture.Width = static_cast<int>(width);
        picture.Height = static_cast<int>(height);
        picture.Pixels.resize(static_cast<size_t>(width) * height);
        for (UINT y = 0; y < height; ++y) {
            const auto* row = static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
            std::memcpy(&picture.Pixels[static_cast<size_t>(y) * width], row, width * 4u);
        }
        gp::GdipBitmapUnlockBits(bitmap, &data);
    }
    gp::GdipDisposeImage(bitmap);
    return picture;
}

inline std::string WideToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

inline uint8_t Red(uint32_t argb) { return static_cast<uint8_t>(argb >> 16); }
inline uint8_t Green(uint32_t argb) { return static_cast<uint8_t>(argb >> 8); }
inline uint8_t Blue(uint32_t argb) { return static_cast<uint8_t>(argb); }

// The chunks of a PNG file, in order, with their data; empty when the
// signature or a CRC is wrong.
struct PngChunk {
    std::string Type;
    std::vector<uint8_t> Data;
};

inline uint32_t ReadBigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

inline uint32_t Crc32(const uint8_t* data, size_t length) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline std::vector<PngChunk> ReadPngChunks(const std::vector<uint8_t>& file) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<PngChunk> chunks;
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return {};
    size_t offset = 8;
    while (offset + 12 <= file.size()) {
        const uint32_t length = ReadBigEndian32(&file[offset]);
        if (offset + 12 + length > file.size()) return {};
        const uint8_t* typeAndData = &file[offset + 4];
        if (Crc32(typeAndData, length + 4) != ReadBigEndian32(typeAndData + 4 + length)) return {};
        chunks.push_back({std::string(reinterpret_cast<const char*>(typeAndData), 4),
                          std::vector<uint8_t>(typeAndData + 4, typeAndData + 4 + length)});
        offset += 12 + length;
    }
    if (offset != file.size()) return {};
    return chunks;
}

}  // namespace korimbo::test
