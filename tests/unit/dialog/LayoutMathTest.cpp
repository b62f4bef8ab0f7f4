// The arithmetic behind the form's layout and the picture boxes.
#include <gtest/gtest.h>

#include "dialog/DialogLayout.h"
#include "dialog/PictureFit.h"

namespace korimbo {
namespace {

using namespace dialog_layout;

TEST(DialogScaling, LengthsFollowTheScreenDpiRoundedToTheNearestPixel) {
    struct Case {
        int length, dpi, expected;
    };
    const Case cases[] = {
        {427, 96, 427},  {253, 96, 253}, {427, 120, 534},  // 533.75
        {253, 120, 316},                                   // 316.25
        {427, 144, 641},                                   // 640.5, half away from zero
        {145, 192, 290}, {-11, 96, -11}, {-11, 120, -14},  // -13.75
        {-11, 144, -17},                                   // -16.5
        {0, 144, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Scaled(c.length, c.dpi), c.expected) << c.length << " at " << c.dpi;
}

TEST(DialogScaling, EveryControlStaysInsideTheClientAreaAtCommonDpis) {
    for (int dpi : {96, 120, 144, 192}) {
        const int width = Scaled(kClientSize.cx, dpi);
        const int height = Scaled(kClientSize.cy, dpi);
        for (const ControlSpec& entry : kControls) {
            if (entry.insideId != 0) continue;
            const Box at = Scaled(entry.place, dpi);
            EXPECT_GE(at.left, 0);
            EXPECT_LE(at.left + at.width, width) << "control " << entry.id << " at " << dpi;
            EXPECT_LE(at.top + at.height, height) << "control " << entry.id << " at " << dpi;
        }
    }
}

TEST(DialogLayout, RadioItemsShareTheGroupBelowItsCaptionLine) {
    const Box group{167, 8, 250, 73};
    const Box first = RadioItemPlace(group, 2, 0);
    const Box second = RadioItemPlace(group, 2, 1);
    // 73 - 13 - 5 = 55 pixels for two items: 27 each, the odd pixel split.
    EXPECT_EQ(first.left, 8);
    EXPECT_EQ(first.top, 14);
    EXPECT_EQ(first.width, 240);
    EXPECT_EQ(first.height, 27);
    EXPECT_EQ(second.top, 41);
    EXPECT_LE(second.top + second.height, group.height);
}

TEST(PictureFit, PicturesFillTheBoxProportionallyAndCentred) {
    struct Case {
        int pictureWidth, pictureHeight, boxWidth, boxHeight;
        RECT expected;
    };
    const Case cases[] = {
        {48, 48, 145, 145, {0, 0, 145, 145}},        // enlarged
        {512, 512, 145, 145, {0, 0, 145, 145}},      // reduced
        {200, 100, 145, 145, {0, 36, 145, 108}},     // wide: 72 high, 73 left over
        {100, 200, 145, 145, {36, 0, 108, 145}},     // tall
        {60, 30, 145, 145, {0, 36, 145, 108}},       // 145 x 72.5 truncated
        {1, 1000, 145, 145, {72, 0, 73, 145}},       // a sliver keeps one pixel
        {300, 100, 100, 50, {0, 8, 100, 41}},        // box not square
        {0, 10, 145, 145, {0, 0, 0, 0}},             // no picture
        {10, 10, 0, 145, {0, 0, 0, 0}},              // no box
        {50000, 50000, 145, 145, {0, 0, 145, 145}},  // no overflow
    };
    for (const Case& c : cases) {
        const RECT at = ProportionalStretchRect(c.pictureWidth, c.pictureHeight, c.boxWidth, c.boxHeight);
        EXPECT_TRUE(::EqualRect(&at, &c.expected))
            << c.pictureWidth << "x" << c.pictureHeight << " in " << c.boxWidth << "x" << c.boxHeight << ": "
            << at.left << "," << at.top << "," << at.right << "," << at.bottom;
    }
}

}  // namespace
}  // namespace korimbo
