#include "icon/Resample.h"

#include <algorithm>

#include "platform/Failure.h"

namespace korimbo {

namespace {

// Positions are measured in units of 1/(S*T) of the whole side: source
// pixel s spans [s*T, (s+1)*T) and target pixel t spans [t*S, (t+1)*S), so
// every overlap is a whole number and a weight is overlap / S.
uint64_t Overlap(uint64_t source, uint64_t target, uint64_t sourceLength, uint64_t targetLength) {
    const uint64_t start = std::max(source * targetLength, target * sourceLength);
    const uint64_t end = std::min((source + 1) * targetLength, (target + 1) * sourceLength);
    return end > start ? end - start : 0;
}

uint8_t ToByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 254.5f) return 255;
    return static_cast<uint8_t>(value + 0.5f);
}

}  // namespace

AreaAverager::AreaAverager(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t targetWidth,
                           uint32_t targetHeight)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      targetWidth_(targetWidth),
      targetHeight_(targetHeight),
      innerWeight_(static_cast<float>(targetWidth) / static_cast<float>(sourceWidth)) {
    if (!sourceWidth || !sourceHeight || !targetWidth || !targetHeight) throw Failure("Cannot scale an empty picture");
    const uint64_t s = sourceWidth, t = targetWidth;
    columns_.resize(targetWidth);
    for (uint64_t x = 0; x < t; ++x) {
        ColumnSpan& span = columns_[static_cast<size_t>(x)];
        const uint64_t first = x * s / t;
        const uint64_t end = ((x + 1) * s + t - 1) / t;
        span.first = static_cast<uint32_t>(first);
        span.count = static_cast<uint32_t>(end - first);
        span.firstWeight = static_cast<float>(Overlap(first, x, s, t)) / static_cast<float>(s);
        span.lastWeight = static_cast<float>(Overlap(end - 1, x, s, t)) / static_cast<float>(s);
    }
    reducedRow_.resize(size_t{targetWidth} * 3);
    sums_.assign(size_t{targetWidth} * targetHeight * 3, 0.0f);
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
    float* out = reducedRow_.data();
    for (const ColumnSpan& span : columns_) {
        const uint8_t* first = pixels + size_t{span.first} * Step;
        if (span.count == 1) {
            for (int c = 0; c < 3; ++c) out[c] = static_cast<float>(channel(first, c));
        } else {
            uint32_t inner[3] = {0, 0, 0};
            const uint8_t* last = first + size_t{span.count - 1} * Step;
            for (const uint8_t* p = first + Step; p < last; p += Step)
                for (int c = 0; c < 3; ++c) inner[c] += channel(p, c);
            for (int c = 0; c < 3; ++c)
                out[c] = span.firstWeight * static_cast<float>(channel(first, c)) +
                         span.lastWeight * static_cast<float>(channel(last, c)) +
                         innerWeight_ * static_cast<float>(inner[c]);
        }
        out += 3;
    }
}

void AreaAverager::ReduceRow(const uint8_t* pixels, SourceLayout layout) {
    switch (layout) {
        case SourceLayout::Bgr24: ReduceRowAs<3, SourceLayout::Bgr24>(pixels); break;
        case SourceLayout::Bgrx32: ReduceRowAs<4, SourceLayout::Bgrx32>(pixels); break;
        case SourceLayout::StraightBgra32: ReduceRowAs<4, SourceLayout::StraightBgra32>(pixels); break;
        case SourceLayout::PremultipliedBgra32: ReduceRowAs<4, SourceLayout::PremultipliedBgra32>(pixels); break;
    }
}

void AreaAverager::AddRow(const uint8_t* pixels, SourceLayout layout) {
    if (nextRow_ >= sourceHeight_) return;
    const uint64_t row = nextRow_++;
    ReduceRow(pixels, layout);
    const uint64_t s = sourceHeight_, t = targetHeight_;
    const uint64_t firstTarget = row * t / s;
    const uint64_t endTarget = std::min<uint64_t>(((row + 1) * t + s - 1) / s, t);
    const size_t rowFloats = size_t{targetWidth_} * 3;
    for (uint64_t target = firstTarget; target < endTarget; ++target) {
        const float weight = static_cast<float>(Overlap(row, target, s, t)) / static_cast<float>(s);
        float* sums = sums_.data() + static_cast<size_t>(target) * rowFloats;
        for (size_t i = 0; i < rowFloats; ++i) sums[i] += weight * reducedRow_[i];
    }
}

PixelBitmap AreaAverager::TakeResult() {
    PixelBitmap result;
    result.Width = targetWidth_;
    result.Height = targetHeight_;
    result.BitsPerPixel = 24;
    result.Stride = size_t{targetWidth_} * 3;
    result.Rows.resize(result.Stride * targetHeight_);
    std::transform(sums_.begin(), sums_.end(), result.Rows.begin(), ToByte);
    std::vector<float>().swap(sums_);
    return result;
}

}  // namespace korimbo
