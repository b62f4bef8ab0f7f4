// Area averaging: shrinking must not alias, and must keep what is smooth smooth.
#include <gtest/gtest.h>

#include <vector>

#include "icon/Resample.h"
#include "platform/FpuControl.h"

namespace korimbo {
namespace {

// Feeds a picture given by colour(x, y) -> grey level as B, G, R rows.
template <class Colour>
PixelBitmap Shrink(uint32_t width, uint32_t height, uint32_t targetWidth, uint32_t targetHeight, Colour&& colour) {
    AreaAverager averager(width, height, targetWidth, targetHeight);
    std::vector<uint8_t> row(size_t{width} * 3);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = colour(x, y);
        averager.AddRow(row.data(), SourceLayout::Bgr24);
    }
    return averager.TakeResult();
}

uint8_t GreyAt(const PixelBitmap& bitmap, uint32_t x, uint32_t y) {
    return bitmap.Rows[y * bitmap.Stride + x * 3];
}

TEST(AreaAverager, TurnsAOnePixelCheckerboardIntoEvenGrey) {
    const struct {
        uint32_t width, height, targetWidth, targetHeight;
        int tolerance;
    } cases[] = {
        {2000, 2000, 500, 500, 1},  // 4 x 4 blocks: exactly half grey
        {2000, 1125, 500, 281, 2},  // the snapshot's usual, uneven ratio
        {1999, 1999, 500, 500, 9},  // odd blocks hold one more of one colour
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        const PixelBitmap result = Shrink(c.width, c.height, c.targetWidth, c.targetHeight,
                                          [](uint32_t x, uint32_t y) -> uint8_t { return (x + y) % 2 ? 255 : 0; });
        ASSERT_EQ(result.Width, c.targetWidth);
        ASSERT_EQ(result.Height, c.targetHeight);
        int lowest = 255, highest = 0;
        for (uint8_t value : result.Rows) {
            lowest = std::min<int>(lowest, value);
            highest = std::max<int>(highest, value);
        }
        EXPECT_GE(lowest, 128 - c.tolerance);
        EXPECT_LE(highest, 127 + c.tolerance);
    }
}

TEST(AreaAverager, KeepsAGradientMonotonicAndSolidColoursExact) {
    const PixelBitmap gradient =
        Shrink(1920, 1080, 500, 281, [](uint32_t x, uint32_t) { return static_cast<uint8_t>(x * 255 / 1919); });
    for (uint32_t y = 0; y < gradient.Height; ++y)
        for (uint32_t x = 1; x < gradient.Width; ++x)
            ASSERT_LE(GreyAt(gradient, x - 1, y), GreyAt(gradient, x, y)) << x << "," << y;
    EXPECT_LE(GreyAt(gradient, 0, 0), 1);
    EXPECT_GE(GreyAt(gradient, 499, 280), 254);

    // Enlarging too: 100 wide to 500.
    const PixelBitmap enlarged =
        Shrink(100, 40, 500, 200, [](uint32_t, uint32_t y) { return static_cast<uint8_t>(y * 6u); });
    for (uint32_t y = 1; y < enlarged.Height; ++y) ASSERT_LE(GreyAt(enlarged, 7, y - 1), GreyAt(enlarged, 7, y));

    for (const uint8_t level : std::vector<uint8_t>{0, 1, 77, 254, 255}) {
        const PixelBitmap solid = Shrink(1921, 1079, 500, 281, [&](uint32_t, uint32_t) { return level; });
        for (uint8_t value : solid.Rows) ASSERT_EQ(value, level);
    }
}

TEST(AreaAverager, AveragesVeryWideSpansExactly) {
    // One target pixel over 70000 x 400 source pixels: its sums need 64 bits.
    const PixelBitmap solid = Shrink(70000, 400, 1, 1, [](uint32_t, uint32_t) -> uint8_t { return 255; });
    EXPECT_EQ(solid.Rows, std::vector<uint8_t>({255, 255, 255}));
    const PixelBitmap halves =
        Shrink(70000, 400, 2, 1, [](uint32_t x, uint32_t) -> uint8_t { return x < 35000 ? 10 : 250; });
    EXPECT_EQ(halves.Rows, std::vector<uint8_t>({10, 10, 10, 250, 250, 250}));
}

TEST(AreaAverager, GivesTheSameResultUnderAnyHostControlWord) {
    const auto pattern = [](uint32_t x, uint32_t y) { return static_cast<uint8_t>((x * 7 + y * 13) % 256); };
    const PixelBitmap expected = Shrink(1921, 1079, 500, 281, pattern);
    // 53-bit precision, round toward zero, round down, exceptions unmasked.
    for (const uint16_t word : std::vector<uint16_t>{0x027F, 0x0F7F, 0x077F, 0x1332}) {
        const uint16_t saved = ReadFpuControlWord();
        WriteFpuControlWord(word);
        const PixelBitmap result = Shrink(1921, 1079, 500, 281, pattern);
        const uint16_t after = ReadFpuControlWord();
        WriteFpuControlWord(saved);
        EXPECT_EQ(after & 0x1F3F, word & 0x1F3F) << "control word not given back";
        EXPECT_EQ(result.Rows, expected.Rows) << "control word 0x" << std::hex << word;
    }
}

TEST(AreaAverager, ReadsEachLayoutAndComposesTransparencyOverWhite) {
    const struct {
        SourceLayout layout;
        std::vector<uint8_t> pixel;     // one source pixel
        std::vector<uint8_t> expected;  // B, G, R
    } cases[] = {
        {SourceLayout::Bgr24, {10, 20, 30}, {10, 20, 30}},
        {SourceLayout::Bgrx32, {10, 20, 30, 0}, {10, 20, 30}},
        {SourceLayout::StraightBgra32, {10, 20, 30, 255}, {10, 20, 30}},
        {SourceLayout::StraightBgra32, {10, 20, 30, 0}, {255, 255, 255}},
        {SourceLayout::StraightBgra32, {0, 0, 0, 128}, {127, 127, 127}},
        {SourceLayout::PremultipliedBgra32, {10, 20, 30, 255}, {10, 20, 30}},
        {SourceLayout::PremultipliedBgra32, {0, 0, 0, 0}, {255, 255, 255}},
        {SourceLayout::PremultipliedBgra32, {50, 0, 100, 128}, {177, 127, 227}},
    };
    for (const auto& c : cases) {
        AreaAverager averager(4, 2, 2, 1);
        std::vector<uint8_t> row;
        for (int i = 0; i < 4; ++i) row.insert(row.end(), c.pixel.begin(), c.pixel.end());
        averager.AddRow(row.data(), c.layout);
        averager.AddRow(row.data(), c.layout);
        const PixelBitmap result = averager.TakeResult();
        ASSERT_EQ(result.Rows.size(), 6u);
        for (size_t i = 0; i < 6; ++i) EXPECT_EQ(result.Rows[i], c.expected[i % 3]) << "byte " << i;
    }
}

}  // namespace
}  // namespace korimbo
