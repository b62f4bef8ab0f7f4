#include "icon/Resample.h"

#include <algorithm>
#include <cmath>

#include "platform/Failure.h"

namespace korimbo {

namespace {

// Positions are measured in units of 1/(S*T) of the whole side: source
// pixel s spans [s*T, (s+1)*T) and target pixel t spans [t*S, (t+1)*S), so
// every overlap is a whole number and the overlaps of a target add up to S.
uint32_t Overlap(uint64_t source, uint64_t target, uint64_t sourceLength, uint64_t targetLength) {
    const uint64_t start = std::max(source * targetLength, target * sourceLength);
    const uint64_t end = std::min((source + 1) * targetLength, (target + 1) * sourceLength);
    return end > start ? static_cast<uint32_t>(end - start) : 0;
}

}  // namespace

AreaAverager::AreaAverager(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t targetWidth,
                           uint32_t targetHeight)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      targetWidth_(targetWidth),
      targetHeight_(targetHeight) {
    if (!sourceWidth || !sourceHeight || !targetWidth || !targetHeight)
        throw Failure("Cannot scale an empty picture");
    if (sourceWidth > kMaxSourceSide || sourceHeight > kMaxSourceSide)
        throw Failure("Cannot scale a picture more than 16M pixels wide or high");
    const uint64_t s = sourceWidth, t = targetWidth;
    columns_.resize(targetWidth);
    for (uint32_t x = 0; x < targetWidth; ++x) {
        ColumnSpan& span = columns_[x];
        const uint64_t first = x * s / t;
        const uint64_t end = ((x + 1) * s + t - 1) / t;
        span.first = static_cast<uint32_t>(first);
        span.count = static_cast<uint32_t>(end - first);
        span.firstOverlap = Overlap(first, x, s, t);
        span.lastOverlap = Overlap(end - 1, x, s, t);
    }
    reducedRow_.resize(size_t{targetWidth} * 3);
    sums_.assign(size_t{targetWidth} * targetHeight * 3, 0);
}

template <int Step, SourceLayout Layout>
void AreaAverager::ReduceRowAs(const uint8_t* pixels) {
    // Pixels with alpha are composed over white: c * alpha + 255 * (1 - alpha).
    const auto channel = [](const uint8_t* pixel, int c) -> uint32_t {
        if constexpr (Layout == SourceLayout::PremultipliedBgra32) return pixel[c] + 255u - pixel[3];
        if constexpr (Layout == SourceLayout::StraightBgra32) {
            const uint32_t alpha = pixel[3];
            return (pixel[c] * alpha + 255u * (255u - alpha) + 127u) / 255u;
        }
        return pixel[c];
    };
    // Each sum is at most 255 * sourceWidth units: within 32 bits.
    const uint32_t whole = targetWidth_;
    uint32_t* out = reducedRow_.data();
    for (const ColumnSpan& span : columns_) {
        const uint8_t* first = pixels + size_t{span.first} * Step;
        if (span.count == 1) {
            for (int c = 0; c < 3; ++c) out[c] = span.firstOverlap * channel(first, c);
        } else {
            uint32_t inner[3] = {0, 0, 0};
            const uint8_t* last = first + size_t{span.count - 1} * Step;
            for (const uint8_t* p = first + Step; p < last; p += Step)
                for (int c = 0; c < 3; ++c) inner[c] += channel(p, c);
            for (int c = 0; c < 3; ++c)
                out[c] = span.firstOverlap * channel(first, c) + span.lastOverlap * channel(last, c) +
                         whole * inner[c];
        }
        out += 3;
    }
}

void AreaAverager::ReduceRow(const uint8_t* pixels, SourceLayout layout) {
    switch (layout) {
        case SourceLayout::Bgr24: ReduceRowAs<3, SourceLayout::Bgr24>(pixels); break;
        case SourceLayout::Bgrx32: ReduceRowAs<4, SourceLayout::Bgrx32>(pixels); break;
        case SourceLayout::StraightBgra32: ReduceRowAs<4, SourceLayout::StraightBgra32>(pixels); break;
        case SourceLayout::PremultipliedBgra32:
            ReduceRowAs<4, SourceLayout::PremultipliedBgra32>(pixels);
            break;
    }
}

void AreaAverager::AddRow(const uint8_t* pixels, SourceLayout layout) {
    if (nextRow_ >= sourceHeight_) return;
    const uint64_t row = nextRow_++;
    ReduceRow(pixels, layout);
    const uint64_t s = sourceHeight_, t = targetHeight_;
    const uint64_t firstTarget = row * t / s;
    const uint64_t endTarget = std::min<uint64_t>(((row + 1) * t + s - 1) / s, t);
    const size_t rowSums = size_t{targetWidth_} * 3;
    for (uint64_t target = firstTarget; target < endTarget; ++target) {
        const uint64_t overlap = Overlap(row, target, s, t);
        uint64_t* sums = sums_.data() + static_cast<size_t>(target) * rowSums;
        for (size_t i = 0; i < rowSums; ++i) sums[i] += overlap * reducedRow_[i];
    }
}

PixelBitmap AreaAverager::TakeResult() {
    PixelBitmap result;
    result.Width = targetWidth_;
    result.Height = targetHeight_;
    result.BitsPerPixel = 24;
    result.Stride = size_t{targetWidth_} * 3;
    result.Rows.resize(result.Stride * targetHeight_);
    // Every target pixel covers sourceWidth * sourceHeight units of area.
    const double perUnit = 1.0 / (static_cast<double>(sourceWidth_) * static_cast<double>(sourceHeight_));
    std::transform(sums_.begin(), sums_.end(), result.Rows.begin(), [perUnit](uint64_t sum) {
        // Sums stay below 2^63: a signed conversion, which x87 does in one step.
        const long mean = std::lrint(static_cast<double>(static_cast<int64_t>(sum)) * perUnit);
        return static_cast<uint8_t>(std::clamp(mean, 0L, 255L));
    });
    std::vector<uint64_t>().swap(sums_);
    return result;
}

}  // namespace korimbo
