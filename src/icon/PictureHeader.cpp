#include "icon/PictureHeader.h"

#include <windows.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/Failure.h"
#include "platform/LongPath.h"
#include "platform/ScopedWin.h"
#include "platform/Text.h"

namespace korimbo {

namespace {

class HeaderReader {
public:
    explicit HeaderReader(HANDLE file) : file_(file) {}

    // Reads up to `length` bytes at `offset`; answers how many were read.
    size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t length) const {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!::SetFilePointerEx(file_, position, nullptr, FILE_BEGIN)) return 0;
        DWORD read = 0;
        if (!::ReadFile(file_, buffer, static_cast<DWORD>(length), &read, nullptr)) return 0;
        return read;
    }

private:
    HANDLE file_;
};

uint32_t BigEndian16(const uint8_t* p) { return (uint32_t{p[0]} << 8) | p[1]; }
uint32_t BigEndian32(const uint8_t* p) { return (BigEndian16(p) << 16) | BigEndian16(p + 2); }
uint32_t LittleEndian16(const uint8_t* p) { return uint32_t{p[0]} | (uint32_t{p[1]} << 8); }
uint32_t LittleEndian32(const uint8_t* p) { return LittleEndian16(p) | (LittleEndian16(p + 2) << 16); }

bool IsJpegFrameMarker(uint8_t marker) {
    // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the JPEG's segments to the first frame header.
std::optional<HeaderSize> JpegSize(const HeaderReader& reader) {
    uint64_t offset = 2;
    for (int segments = 0; segments < 4096; ++segments) {
        std::array<uint8_t, 9> bytes{};
        if (reader.ReadAt(offset, bytes.data(), 4) < 4 || bytes[0] != 0xFF) return std::nullopt;
        const uint8_t marker = bytes[1];
        if (marker == 0xFF) {  // fill byte
            ++offset;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            offset += 2;
            continue;
        }
        const uint32_t length = BigEndian16(&bytes[2]);
        if (length < 2) return std::nullopt;
        if (IsJpegFrameMarker(marker)) {
            if (reader.ReadAt(offset + 4, bytes.data(), 5) < 5) return std::nullopt;
            return HeaderSize{BigEndian16(&bytes[3]), BigEndian16(&bytes[1])};
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // no frame before the scan
        offset += 2 + length;
    }
    return std::nullopt;
}

}  // namespace

std::optional<HeaderSize> ReadHeaderSize(const std::wstring& path) {
    UniqueFile file(::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        throw Failure("Cannot open the picture " + WideToNarrow(path) + " (error " + std::to_string(error) + ")");
    }
    const HeaderReader reader(file.Get());
    std::array<uint8_t, 32> head{};
    const size_t length = reader.ReadAt(0, head.data(), head.size());

    static constexpr uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (length >= 24 && std::memcmp(head.data(), kPng, 8) == 0 && std::memcmp(&head[12], "IHDR", 4) == 0)
        return HeaderSize{BigEndian32(&head[16]), BigEndian32(&head[20])};
    if (length >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return JpegSize(reader);
    if (length >= 26 && head[0] == 'B' && head[1] == 'M') {
        const uint32_t infoSize = LittleEndian32(&head[14]);
        if (infoSize == 12)  // OS/2 core header: 16-bit sides
            return HeaderSize{LittleEndian16(&head[18]), LittleEndian16(&head[20])};
        // Height is negative for top-down bitmaps.
        const auto width = static_cast<int32_t>(LittleEndian32(&head[18]));
        const auto height = static_cast<int32_t>(LittleEndian32(&head[22]));
        return HeaderSize{static_cast<uint64_t>(std::llabs(width)), static_cast<uint64_t>(std::llabs(height))};
    }
    if (length >= 10 && std::memcmp(head.data(), "GIF8", 4) == 0)
        return HeaderSize{LittleEndian16(&head[6]), LittleEndian16(&head[8])};
    return std::nullopt;
}

}  // namespace korimbo
