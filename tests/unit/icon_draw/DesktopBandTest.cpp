// Where the miniature desktop and its overlays land, worked out in extended
// precision with halves rounded to even.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>

#include "icon/IconGeometry.h"

namespace korimbo {
namespace {

struct BandCase {
    int32_t iconWidth;
    DesktopSize desktop;
    DesktopBand expected;
};

std::ostream& operator<<(std::ostream& out, const BandCase& c) {
    return out << c.iconWidth << " px on " << c.desktop.width << "x" << c.desktop.height;
}

class DesktopBandTest : public testing::TestWithParam<BandCase> {};

TEST_P(DesktopBandTest, MeasuresFollowTheIconWidth) {
    const BandCase& c = GetParam();
    const DesktopBand band = ComputeDesktopBand(c.iconWidth, c.desktop);
    EXPECT_EQ(band.height, c.expected.height);
    EXPECT_EQ(band.top, c.expected.top);
    EXPECT_EQ(band.taskbarHeight, c.expected.taskbarHeight);
    EXPECT_EQ(band.dockHeight, c.expected.dockHeight);
    EXPECT_EQ(band.dockTop, c.expected.dockTop);
}

// Expected measures in DesktopBand order: top, height, taskbar height, dock top, dock height.
INSTANTIATE_TEST_SUITE_P(Icons, DesktopBandTest,
                         testing::Values(BandCase{128, {1920, 1080}, {28, 72, 10, 80, 20}},
                                         // 10.5 rounds to 10
                                         BandCase{48, {1920, 1080}, {10, 27, 4, 29, 8}},
                                         // 4.5 rounds to 4, (8 - 4) / 2 = 2; 0.64 -> 1, 1.28 -> 1
                                         BandCase{8, {1920, 1080}, {2, 4, 1, 5, 1}},
                                         // the product lands just above 52.5; 61.5 rounds to 62
                                         BandCase{176, {3520, 1050}, {62, 53, 14, 87, 28}},
                                         // 112.5 rounds to 112; the band runs past a 50 px high icon
                                         BandCase{200, {1920, 1080}, {44, 112, 16, 124, 32}},
                                         BandCase{256, {1920, 1080}, {56, 144, 20, 159, 41}},
                                         BandCase{32, {1920, 1080}, {7, 18, 3, 20, 5}},
                                         // an upright desktop: the band is taller than the icon
                                         BandCase{100, {1080, 1920}, {-39, 178, 8, 123, 16}},
                                         // a desktop the system could not measure gives an empty band
                                         BandCase{48, {0, 0}, {24, 0, 4, 16, 8}}));

TEST(VirtualDesktopSizeTest, IsTheVirtualScreen) {
    const DesktopSize size = VirtualDesktopSize();
    EXPECT_EQ(size.width, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(size.height, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_GT(size.width, 0);
}

}  // namespace
}  // namespace korimbo
