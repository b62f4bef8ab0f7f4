// Scales a picture by area averaging, in our own code so the result does not
// depend on the platform's interpolation (GDI+ under Wine draws every mode
// bilinearly, which aliases when shrinking).
//
// Each target pixel is the mean of the source area it covers, partly covered
// source pixels weighted by the covered part. Source rows are fed one at a
// time, top first, so a picture can be read in bands: besides the caller's
// rows, only one float buffer of the target's size is kept.
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
    // All four sizes at least 1.
    AreaAverager(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t targetWidth, uint32_t targetHeight);

    // The next source row, sourceWidth pixels in `layout`. Rows past the
    // source's height are ignored.
    void AddRow(const uint8_t* pixels, SourceLayout layout);

    // The target as a 24-bit bitmap with unpadded rows. Call once all source
    // rows were added.
    PixelBitmap TakeResult();

private:
    // Target column x takes source pixels first..first+count-1: the first
    // and the last with their own weights, those between with innerWeight.
    struct ColumnSpan {
        uint32_t first = 0;
        uint32_t count = 0;
        float firstWeight = 0;
        float lastWeight = 0;
    };
    void ReduceRow(const uint8_t* pixels, SourceLayout layout);
    template <int Step, SourceLayout Layout>
    void ReduceRowAs(const uint8_t* pixels);

    uint32_t sourceWidth_, sourceHeight_, targetWidth_, targetHeight_;
    float innerWeight_;
    std::vector<ColumnSpan> columns_;
    std::vector<float> reducedRow_;  // the current source row at target width, 3 floats a pixel
    std::vector<float> sums_;        // target rows, 3 floats a pixel
    uint32_t nextRow_ = 0;
};

}  // namespace korimbo
