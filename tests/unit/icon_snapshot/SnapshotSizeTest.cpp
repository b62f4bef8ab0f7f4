// Whole-pixel measures: the snapshot's size and the miniature desktop's band,
// worked out in extended precision whatever control word the host runs with.
#include <gtest/gtest.h>

#include "icon/Rounding.h"
#include "icon/SnapshotSize.h"
#include "platform/FpuControl.h"

namespace korimbo {
namespace {

// Control words hosts have been seen to run with: unmasked exceptions, 53-bit
// and 64-bit precision.
constexpr uint16_t kHostControlWords[] = {0x1332, 0x027F, 0x033F, 0x037F};

// Runs the check under each host control word and gives the word back.
template <class Check>
void UnderEveryHostControlWord(Check&& check) {
    for (const uint16_t word : kHostControlWords) {
        SCOPED_TRACE(::testing::Message() << "host control word 0x" << std::hex << word);
        const uint16_t saved = ReadFpuControlWord();
        WriteFpuControlWord(word);
        const uint16_t asSet = ReadFpuControlWord();  // bit 6 always reads as set
        check();
        const uint16_t after = ReadFpuControlWord();
        WriteFpuControlWord(saved);
        EXPECT_EQ(after, asSet) << "the control word was not given back";
    }
}

struct SnapshotCase {
    uint32_t width, height;
    PixelSize expected;
    const char* why;
};

const SnapshotCase kSnapshotCases[] = {
    {1920, 1080, {500, 281}, "281.25"},
    {1080, 1920, {281, 500}, "upright"},
    {800, 600, {500, 375}, "exact"},
    {1000, 1000, {500, 500}, "square"},
    {1000, 5, {500, 2}, "2.5 rounds to even 2"},
    {1000, 3, {500, 2}, "1.5 rounds to even 2"},
    {1000, 63, {500, 31}, "31.5 lands just below the half in extended precision"},
    {1000, 501, {500, 251}, "250.5 lands just above the half in extended precision"},
    {3840, 2160, {500, 281}, "4K"},
    {7680, 4320, {500, 281}, "8K"},
    {2000, 2000, {500, 500}, "square, large"},
    {250, 100, {500, 200}, "smaller than the snapshot: enlarged"},
    {1, 1, {500, 500}, "one pixel"},
    {1000, 1, {500, 1}, "0.5 would round to 0: one row at least"},
    {100000, 7, {500, 1}, "0.035 would round to 0"},
    {1, 100000, {1, 500}, "a column"},
};

TEST(SnapshotSize, MatchesTheTableUnderEveryHostControlWord) {
    UnderEveryHostControlWord([] {
        for (const SnapshotCase& c : kSnapshotCases)
            EXPECT_EQ(SnapshotSize(c.width, c.height), c.expected)
                << c.width << " x " << c.height << ": " << c.why;
    });
}

// The miniature desktop: drawH = round(desktopH / desktopW * W), top =
// round((W - drawH) / 2), taskbar round(W * 0.08), dock round(W * 0.16).
struct BandCase {
    int32_t iconWidth, desktopWidth, desktopHeight;
    int32_t drawHeight, top, taskbar, dock;
};

const BandCase kBandCases[] = {
    {128, 1920, 1080, 72, 28, 10, 20},  {48, 1920, 1080, 27, 10, 4, 8},  // 10.5 rounds to 10
    {8, 1920, 1080, 4, 2, 1, 1},                                         // 4.5 rounds to 4
    {176, 3520, 1050, 53, 62, 14, 28},   // product just above 52.5; 61.5 rounds to 62
    {200, 1920, 1080, 112, 44, 16, 32},  // 112.5 rounds to 112
};

TEST(DesktopBand, MatchesTheTableUnderEveryHostControlWord) {
    UnderEveryHostControlWord([] {
        for (const BandCase& c : kBandCases) {
            SCOPED_TRACE(::testing::Message()
                         << "W " << c.iconWidth << " on " << c.desktopWidth << " x " << c.desktopHeight);
            const int32_t drawHeight = ScaledLength(c.desktopHeight, c.desktopWidth, c.iconWidth);
            EXPECT_EQ(drawHeight, c.drawHeight);
            EXPECT_EQ(RoundHalfEven(static_cast<long double>(c.iconWidth - drawHeight) / 2.0L), c.top);
            EXPECT_EQ(ScaledByFactor(c.iconWidth, 0.08L), c.taskbar);
            EXPECT_EQ(ScaledByFactor(c.iconWidth, 0.16L), c.dock);
        }
    });
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
    const struct {
        long double value;
        int32_t expected;
    } cases[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {2.4999L, 2}, {2.5001L, 3}, {7.0L, 7}};
    UnderEveryHostControlWord([&] {
        for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.expected) << static_cast<double>(c.value);
    });
}

}  // namespace
}  // namespace korimbo
