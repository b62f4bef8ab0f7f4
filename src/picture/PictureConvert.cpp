#include "picture/PictureConvert.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "picture/FileReplacement.h"
#include "platform/Failure.h"

namespace korimbo {

namespace {

constexpr std::array<uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kMaxIdatBytes = 65535;

enum ColourType : uint8_t { kTruecolour = 2, kPalette = 3 };
enum RowFilter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

bool IsPaletted(uint32_t bitsPerPixel) { return bitsPerPixel <= 8; }

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const uint8_t* data, size_t length) {
    PutBigEndian32(out, static_cast<uint32_t>(length));
    const size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    if (length) out.insert(out.end(), data, data + length);
    // The CRC covers the type and the data, not the length.
    const uLong crc = ::crc32(0, out.data() + typeStart, static_cast<uInt>(length + 4));
    PutBigEndian32(out, static_cast<uint32_t>(crc));
}

void CheckDescribable(const PixelBitmap& bitmap) {
    const uint32_t bits = bitmap.BitsPerPixel;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw Failure("PNG: unsupported bits per pixel " + std::to_string(bits));
    constexpr uint32_t kMaxSide = 0x7FFFFFFF;  // PNG's limit for either side
    if (bitmap.Width == 0 || bitmap.Height == 0 || bitmap.Width > kMaxSide || bitmap.Height > kMaxSide)
        throw Failure("PNG: a bitmap of " + std::to_string(bitmap.Width) + " x " + std::to_string(bitmap.Height) +
                      " pixels cannot be written");
    const uint64_t rowBytes = PackedRowBytes(bitmap.Width, bits);
    if (bitmap.Stride < rowBytes) throw Failure("PNG: row stride shorter than a row");
    const uint64_t needed = static_cast<uint64_t>(bitmap.Stride) * (bitmap.Height - 1) + rowBytes;
    if (bitmap.Rows.size() < needed) throw Failure("PNG: fewer pixel bytes than the bitmap's size needs");
}

std::vector<uint8_t> HeaderData(const PixelBitmap& bitmap) {
    std::vector<uint8_t> data;
    PutBigEndian32(data, bitmap.Width);
    PutBigEndian32(data, bitmap.Height);
    const bool paletted = IsPaletted(bitmap.BitsPerPixel);
    data.push_back(static_cast<uint8_t>(paletted ? bitmap.BitsPerPixel : 8));
    data.push_back(paletted ? kPalette : kTruecolour);
    data.push_back(0);  // deflate
    data.push_back(0);  // adaptive filtering with the five basic filters
    data.push_back(0);  // not interlaced
    return data;
}

// Every index the depth can hold gets an entry, so no pixel can point past
// the palette (which decoders reject).
std::vector<uint8_t> PaletteData(const PixelBitmap& bitmap) {
    const size_t entries = size_t{1} << bitmap.BitsPerPixel;
    std::vector<uint8_t> data(entries * 3, 0);
    for (size_t i = 0; i < entries && i < bitmap.Palette.size(); ++i) {
        data[i * 3] = bitmap.Palette[i].rgbRed;
        data[i * 3 + 1] = bitmap.Palette[i].rgbGreen;
        data[i * 3 + 2] = bitmap.Palette[i].rgbBlue;
    }
    return data;
}

uint8_t Expand5(unsigned value) { return static_cast<uint8_t>((value << 3) | (value >> 2)); }

// One row in PNG's own layout: R, G, B bytes, or the packed indices with the
// unused low bits of the last byte cleared.
void ConvertRow(const PixelBitmap& bitmap, const uint8_t* source, uint8_t* target) {
    const uint32_t width = bitmap.Width;
    switch (bitmap.BitsPerPixel) {
        case 32:
        case 24: {
            const uint32_t step = bitmap.BitsPerPixel / 8;
            for (uint32_t x = 0; x < width; ++x, source += step, target += 3) {
                target[0] = source[2];
                target[1] = source[1];
                target[2] = source[0];
            }
            break;
        }
        case 16:
            for (uint32_t x = 0; x < width; ++x, source += 2, target += 3) {
                const unsigned word = source[0] | (static_cast<unsigned>(source[1]) << 8);
                target[0] = Expand5((word >> 10) & 0x1F);
                target[1] = Expand5((word >> 5) & 0x1F);
                target[2] = Expand5(word & 0x1F);
            }
            break;
        default: {
            const size_t bytes = PackedRowBytes(width, bitmap.BitsPerPixel);
            std::memcpy(target, source, bytes);
            const uint32_t usedBits = static_cast<uint32_t>((uint64_t{width} * bitmap.BitsPerPixel) % 8);
            if (usedBits) target[bytes - 1] &= static_cast<uint8_t>(0xFF << (8 - usedBits));
        }
    }
}

uint8_t PaethPredictor(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<uint8_t>(left);
    if (toUp <= toUpLeft) return static_cast<uint8_t>(up);
    return static_cast<uint8_t>(upLeft);
}

// Writes the filter byte and the filtered row into `out`; answers the sum of
// the filtered bytes taken as signed, the usual measure of how well the row
// will compress. Gives up (answering `limit`) once the sum reaches `limit`:
// the row is then worse than one already found. One loop per filter, since
// this runs up to five times for every row.
template <class Predict>
uint64_t FilterWith(RowFilter filter, const uint8_t* row, const uint8_t* previous, size_t length, size_t bpp,
                    uint8_t* out, uint64_t limit, Predict&& predict) {
    out[0] = filter;
    ++out;
    uint64_t cost = 0;
    const size_t lead = std::min(bpp, length);
    for (size_t i = 0; i < lead; ++i) {
        out[i] = static_cast<uint8_t>(row[i] - predict(0, previous[i], 0));
        cost += static_cast<uint32_t>(std::abs(static_cast<int8_t>(out[i])));
    }
    // Checked once per stretch of bytes, not per byte.
    constexpr size_t kStretch = 256;
    for (size_t start = lead; start < length; start += kStretch) {
        const size_t end = std::min(length, start + kStretch);
        uint32_t stretchCost = 0;
        for (size_t i = start; i < end; ++i) {
            out[i] = static_cast<uint8_t>(row[i] - predict(row[i - bpp], previous[i], previous[i - bpp]));
            stretchCost += static_cast<uint32_t>(std::abs(static_cast<int8_t>(out[i])));
        }
        cost += stretchCost;
        if (cost >= limit) return limit;
    }
    return cost;
}

uint64_t FilterRow(RowFilter filter, const uint8_t* row, const uint8_t* previous, size_t length, size_t bpp,
                   uint8_t* out, uint64_t limit = UINT64_MAX) {
    switch (filter) {
        case kNone:
            return FilterWith(filter, row, previous, length, bpp, out, limit, [](int, int, int) { return 0; });
        case kSub:
            return FilterWith(filter, row, previous, length, bpp, out, limit,
                              [](int left, int, int) { return left; });
        case kUp:
            return FilterWith(filter, row, previous, length, bpp, out, limit, [](int, int up, int) { return up; });
        case kAverage:
            return FilterWith(filter, row, previous, length, bpp, out, limit,
                              [](int left, int up, int) { return (left + up) / 2; });
        case kPaeth:
            return FilterWith(filter, row, previous, length, bpp, out, limit, PaethPredictor);
    }
    return limit;
}

// Deflates the filtered rows and emits the compressed stream as IDAT chunks
// of at most kMaxIdatBytes.
class IdatWriter {
public:
    IdatWriter(std::vector<uint8_t>& out, int level, PngMatching matching) : out_(out) {
        if (level < 0 || level > 9) throw Failure("PNG: zlib level out of range");
        const int strategy = matching == PngMatching::RunsOnly ? Z_RLE : Z_DEFAULT_STRATEGY;
        if (::deflateInit2(&stream_, level, Z_DEFLATED, 15, 8, strategy) != Z_OK)
            throw Failure("PNG: deflateInit2 failed");
        ResetBuffer();
    }
    ~IdatWriter() { ::deflateEnd(&stream_); }
    IdatWriter(const IdatWriter&) = delete;
    IdatWriter& operator=(const IdatWriter&) = delete;

    void Write(const uint8_t* data, size_t length) { Run(data, length, Z_NO_FLUSH); }
    void Finish() {
        Run(nullptr, 0, Z_FINISH);
        if (stream_.avail_out != buffer_.size()) EmitChunk();
    }

private:
    void Run(const uint8_t* data, size_t length, int flush) {
        stream_.next_in = const_cast<Bytef*>(data);  // zlib's interface is not const-correct
        stream_.avail_in = static_cast<uInt>(length);
        for (;;) {
            const int result = ::deflate(&stream_, flush);
            if (result == Z_STREAM_ERROR) throw Failure("PNG: deflate failed");
            if (stream_.avail_out == 0) {
                EmitChunk();
                continue;
            }
            if (flush == Z_FINISH ? result == Z_STREAM_END : stream_.avail_in == 0) return;
        }
    }
    void EmitChunk() {
        PutChunk(out_, "IDAT", buffer_.data(), buffer_.size() - stream_.avail_out);
        ResetBuffer();
    }
    void ResetBuffer() {
        stream_.next_out = buffer_.data();
        stream_.avail_out = static_cast<uInt>(buffer_.size());
    }

    std::vector<uint8_t>& out_;
    z_stream stream_{};
    std::array<uint8_t, kMaxIdatBytes> buffer_{};
};

}  // namespace

size_t PackedRowBytes(uint32_t width, uint32_t bitsPerPixel) {
    return static_cast<size_t>((uint64_t{width} * bitsPerPixel + 7) / 8);
}

std::vector<uint8_t> EncodePng(const PixelBitmap& bitmap, const PngOptions& options) {
    CheckDescribable(bitmap);
    const bool paletted = IsPaletted(bitmap.BitsPerPixel);
    const size_t rowLength =
        paletted ? PackedRowBytes(bitmap.Width, bitmap.BitsPerPixel) : size_t{bitmap.Width} * 3;
    const size_t filterBpp = paletted ? 1 : 3;
    // Palette images compress best unfiltered: neighbouring indices say
    // nothing about each other.
    const bool adaptive = options.AdaptiveFilters && !paletted;

    std::vector<uint8_t> out(kPngSignature.begin(), kPngSignature.end());
    const std::vector<uint8_t> header = HeaderData(bitmap);
    PutChunk(out, "IHDR", header.data(), header.size());
    if (paletted) {
        const std::vector<uint8_t> palette = PaletteData(bitmap);
        PutChunk(out, "PLTE", palette.data(), palette.size());
    }
    {
        auto idat = std::make_unique<IdatWriter>(out, options.ZlibLevel, options.Matching);
        std::vector<uint8_t> row(rowLength), previous(rowLength, 0);
        std::vector<uint8_t> best(rowLength + 1), trial(rowLength + 1);
        for (uint32_t y = 0; y < bitmap.Height; ++y) {
            ConvertRow(bitmap, bitmap.Rows.data() + static_cast<size_t>(y) * bitmap.Stride, row.data());
            // Paeth first: on photographs it usually wins, so the others give up early.
            const RowFilter firstTried = adaptive ? kPaeth : kNone;
            uint64_t bestCost =
                FilterRow(firstTried, row.data(), previous.data(), rowLength, filterBpp, best.data());
            if (adaptive) {
                for (RowFilter filter : {kUp, kAverage, kSub, kNone}) {
                    const uint64_t cost = FilterRow(filter, row.data(), previous.data(), rowLength, filterBpp,
                                                    trial.data(), bestCost);
                    if (cost < bestCost) {
                        bestCost = cost;
                        best.swap(trial);
                    }
                }
            }
            idat->Write(best.data(), best.size());
            row.swap(previous);
        }
        idat->Finish();
    }
    PutChunk(out, "IEND", nullptr, 0);
    return out;
}

void SaveBitmapAsPng(const PixelBitmap& bitmap, const std::wstring& path, const PngOptions& options) {
    ReplaceFileContents(path, EncodePng(bitmap, options));
}

}  // namespace korimbo
