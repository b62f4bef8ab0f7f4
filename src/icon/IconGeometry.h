// Where the miniature desktop and its overlays go in a docklet's picture.
#pragma once

#include <cstdint>
#include <functional>

namespace korimbo {

// The desktop's size in pixels: the virtual screen, covering all monitors.
struct DesktopSize {
    int32_t width = 0;
    int32_t height = 0;
};

// Vertical placement of the desktop band in an icon W pixels wide. The band
// spans the whole width; its offset is formed from W, not from the icon's
// height, so a wide, low icon cuts the band off at its bottom edge.
struct DesktopBand {
    int32_t top = 0;            // first row of the band
    int32_t height = 0;         // desktop height scaled to W
    int32_t taskbarHeight = 0;  // W x 0.08, drawn at the band's top
    int32_t dockTop = 0;        // the dock sits on the band's bottom edge
    int32_t dockHeight = 0;     // W x 0.16
};

// Every measure rounded in extended precision, halves to even.
DesktopBand ComputeDesktopBand(int32_t iconWidth, DesktopSize desktop) noexcept;

// The virtual screen's size from the system metrics.
DesktopSize VirtualDesktopSize() noexcept;

// The desktop size the drawing uses: the virtual screen's, unless a test has
// put another source in its place (an empty function restores it).
DesktopSize CurrentDesktopSize();
using DesktopSizeSource = std::function<DesktopSize()>;
void SetDesktopSizeSourceForTesting(DesktopSizeSource source);

}  // namespace korimbo
