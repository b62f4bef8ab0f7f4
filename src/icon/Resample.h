// Scales a picture by area averaging, in our own code so the result does not
// depend on the platform's interpolation (GDI+ under Wine draws every mode
// bilinearly, which aliases when shrinking).
//
// Each target pixel is the mean of the source area it covers, partly covered
// source pixels weighted by the covered part. Source rows are fed one at a
// time, top first, so a picture can be read in bands. Rows are first summed
// down into one source-wide row per target row, which is then summed across:
// besides the result, only two rows are kept. All arithmetic is in integers
// (x87 conversions are slow, and the result is then the same on any machine).
#pragma once

#include <cstdint>
#include <vector>

#include "picture/PictureConvert.h"

namespace korimbo {

enum class SourceLayout {
    Bgr24,                // B, G, R
    Bgrx32,               // B, G, R, unused
    StraightBgra32,       // B, G, R, A; composed over white
    PremultipliedBgra32,  // B, G, R premultiplied by A, then A; composed over white
};

class AreaAverager {
public:
    // Keeps a column's weighted sum within 32 bits.
    static constexpr uint32_t kMaxSourceSide = 16u << 20;

    // All four sizes at least 1; neither source side above kMaxSourceSide.
    AreaAverager(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t targetWidth, uint32_t targetHeight);

    // The next source row, sourceWidth pixels in `layout`. Rows past the
    // source's height are ignored.
    void AddRow(const uint8_t* pixels, SourceLayout layout);

    // The target as a 24-bit bitmap with unpadded rows. Call once all source
    // rows were added; rows never added count as black.
    PixelBitmap TakeResult();

private:
    // Target column x takes source pixels first..first+count-1: the first
    // and the last with their own overlaps, those between whole (an overlap
    // of targetWidth units).
    struct ColumnSpan {
        uint32_t first = 0;
        uint32_t count = 0;
        uint32_t firstOverlap = 0;
        uint32_t lastOverlap = 0;
    };
    template <int Step, SourceLayout Layout>
    void AccumulateAs(const uint8_t* pixels, uint32_t overlap);
    void Accumulate(const uint8_t* pixels, SourceLayout layout, uint32_t overlap);
    // Sums the column sums across into target row `row` and clears them.
    void EmitRow(uint32_t row);
    template <class InnerSum>
    void EmitRowWith(uint32_t row);
    // total / the units of area one target pixel covers, to the nearest byte.
    uint8_t RoundedMean(uint64_t total) const;

    uint32_t sourceWidth_, sourceHeight_, targetWidth_, targetHeight_;
    std::vector<ColumnSpan> columns_;
    std::vector<uint32_t> columnSums_;  // the target row being gathered, per source pixel and channel
    PixelBitmap result_;
    double perUnit_;  // 1 / the units of area one target pixel covers
    bool useSse2_ = false;
    bool narrowInnerSums_ = false;  // the whole columns of any span add up within 32 bits
    uint32_t nextRow_ = 0;
};

}  // namespace korimbo
