#include "icon/Resample.h"

#include <emmintrin.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/Failure.h"
#include "platform/FpuControl.h"

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

// sums[i] += weight * bytes[i] for count bytes, 16 at a time; weight below
// 32768. SSE2 only where the processor has it (checked at run time): the
// plug-in itself is built for any i686.
__attribute__((target("sse2"))) void MultiplyAddBytesSse2(uint32_t* sums, const uint8_t* bytes, size_t count,
                                                          uint32_t weight) {
    const __m128i zero = _mm_setzero_si128();
    // Each 32-bit lane holds (weight, 0) as two 16-bit halves, and each pixel
    // lane (byte, 0): one multiply-add of halves gives weight * byte.
    const __m128i weights = _mm_set1_epi32(static_cast<int>(weight));
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i low = _mm_unpacklo_epi8(sixteen, zero);
        const __m128i high = _mm_unpackhi_epi8(sixteen, zero);
        const __m128i quarters[4] = {_mm_unpacklo_epi16(low, zero), _mm_unpackhi_epi16(low, zero),
                                     _mm_unpacklo_epi16(high, zero), _mm_unpackhi_epi16(high, zero)};
        for (int k = 0; k < 4; ++k) {
            auto* target = reinterpret_cast<__m128i*>(sums + i + 4 * static_cast<size_t>(k));
            _mm_storeu_si128(target, _mm_add_epi32(_mm_loadu_si128(target), _mm_madd_epi16(quarters[k], weights)));
        }
    }
    for (; i < count; ++i) sums[i] += weight * bytes[i];
}

}  // namespace

AreaAverager::AreaAverager(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t targetWidth,
                           uint32_t targetHeight)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      targetWidth_(targetWidth),
      targetHeight_(targetHeight),
      perUnit_(1.0 / (static_cast<double>(sourceWidth) * static_cast<double>(sourceHeight))) {
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
    columnSums_.assign(size_t{sourceWidth} * 3, 0);
    // A column sum is at most 255 * sourceHeight; the whole columns of a span
    // add up within 32 bits for every picture but extremely narrow ones.
    uint64_t widestSpan = 0;
    for (const ColumnSpan& span : columns_) widestSpan = std::max<uint64_t>(widestSpan, span.count);
    narrowInnerSums_ = widestSpan * 255 * sourceHeight < (uint64_t{1} << 32);
    // A row's overlap with a target row is at most the target's height.
    useSse2_ = targetHeight < 32768 && ::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE);
    result_.Width = targetWidth;
    result_.Height = targetHeight;
    result_.BitsPerPixel = 24;
    result_.Stride = size_t{targetWidth} * 3;
    result_.Rows.assign(result_.Stride * targetHeight, 0);
}

template <int Step, SourceLayout Layout>
void AreaAverager::AccumulateAs(const uint8_t* pixels, uint32_t overlap) {
    uint32_t* sums = columnSums_.data();
    if constexpr (Layout == SourceLayout::Bgr24) {
        // The common case: one multiply-add per byte.
        const size_t bytes = size_t{sourceWidth_} * 3;
        if (useSse2_) {
            MultiplyAddBytesSse2(sums, pixels, bytes, overlap);
        } else {
            for (size_t i = 0; i < bytes; ++i) sums[i] += overlap * pixels[i];
        }
        return;
    }
    // Pixels with alpha are composed over white: c * alpha + 255 * (1 - alpha).
    const auto channel = [](const uint8_t* pixel, int c) -> uint32_t {
        if constexpr (Layout == SourceLayout::PremultipliedBgra32) return pixel[c] + 255u - pixel[3];
        if constexpr (Layout == SourceLayout::StraightBgra32) {
            const uint32_t alpha = pixel[3];
            return (pixel[c] * alpha + 255u * (255u - alpha) + 127u) / 255u;
        }
        return pixel[c];
    };
    for (uint32_t x = 0; x < sourceWidth_; ++x, pixels += Step, sums += 3)
        for (int c = 0; c < 3; ++c) sums[c] += overlap * channel(pixels, c);
}

void AreaAverager::Accumulate(const uint8_t* pixels, SourceLayout layout, uint32_t overlap) {
    switch (layout) {
        case SourceLayout::Bgr24:
            AccumulateAs<3, SourceLayout::Bgr24>(pixels, overlap);
            break;
        case SourceLayout::Bgrx32:
            AccumulateAs<4, SourceLayout::Bgrx32>(pixels, overlap);
            break;
        case SourceLayout::StraightBgra32:
            AccumulateAs<4, SourceLayout::StraightBgra32>(pixels, overlap);
            break;
        case SourceLayout::PremultipliedBgra32:
            AccumulateAs<4, SourceLayout::PremultipliedBgra32>(pixels, overlap);
            break;
    }
}

uint8_t AreaAverager::RoundedMean(uint64_t total) const {
    // Adding 1.5 * 2^52 leaves the nearest integer in the low bits of the
    // double: much cheaper on x87 than a conversion call, which this would be
    // once per channel of every target pixel. Totals stay below 2^63, so the
    // signed conversion (one x87 instruction) is exact enough.
    constexpr double kRoundingShift = 6755399441055744.0;
    const volatile double shifted = static_cast<double>(static_cast<int64_t>(total)) * perUnit_ + kRoundingShift;
    const double stored = shifted;
    uint64_t bits = 0;
    std::memcpy(&bits, &stored, sizeof bits);
    return static_cast<uint8_t>(std::min<uint32_t>(static_cast<uint32_t>(bits), 255u));
}

template <class InnerSum>
void AreaAverager::EmitRowWith(uint32_t row) {
    const uint64_t whole = targetWidth_;
    const uint32_t* sums = columnSums_.data();
    uint8_t* out = result_.Rows.data() + size_t{row} * result_.Stride;
    for (const ColumnSpan& span : columns_) {
        const uint32_t* first = sums + size_t{span.first} * 3;
        uint64_t blue = uint64_t{span.firstOverlap} * first[0];
        uint64_t green = uint64_t{span.firstOverlap} * first[1];
        uint64_t red = uint64_t{span.firstOverlap} * first[2];
        if (span.count > 1) {
            const uint32_t* last = first + size_t{span.count - 1} * 3;
            InnerSum innerBlue = 0, innerGreen = 0, innerRed = 0;
            for (const uint32_t* p = first + 3; p < last; p += 3) {
                innerBlue += p[0];
                innerGreen += p[1];
                innerRed += p[2];
            }
            blue += uint64_t{span.lastOverlap} * last[0] + whole * innerBlue;
            green += uint64_t{span.lastOverlap} * last[1] + whole * innerGreen;
            red += uint64_t{span.lastOverlap} * last[2] + whole * innerRed;
        }
        out[0] = RoundedMean(blue);
        out[1] = RoundedMean(green);
        out[2] = RoundedMean(red);
        out += 3;
    }
    std::fill(columnSums_.begin(), columnSums_.end(), 0u);
}

void AreaAverager::EmitRow(uint32_t row) {
    if (narrowInnerSums_) {
        EmitRowWith<uint32_t>(row);
    } else {
        EmitRowWith<uint64_t>(row);
    }
}

void AreaAverager::AddRow(const uint8_t* pixels, SourceLayout layout) {
    if (nextRow_ >= sourceHeight_) return;
    // RoundedMean relies on rounding to nearest, whatever the caller's mode.
    const FpuControlScope roundToNearest;
    const uint64_t row = nextRow_++;
    const uint64_t s = sourceHeight_, t = targetHeight_;
    const uint64_t firstTarget = row * t / s;
    const uint64_t endTarget = std::min<uint64_t>(((row + 1) * t + s - 1) / s, t);
    for (uint64_t target = firstTarget; target < endTarget; ++target) {
        Accumulate(pixels, layout, Overlap(row, target, s, t));
        // The target row is complete once this source row reaches its end.
        if ((row + 1) * t >= (target + 1) * s) EmitRow(static_cast<uint32_t>(target));
    }
}

PixelBitmap AreaAverager::TakeResult() { return std::move(result_); }

}  // namespace korimbo
