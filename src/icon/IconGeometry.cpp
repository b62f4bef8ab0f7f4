#include "icon/IconGeometry.h"

#include <windows.h>

#include <utility>

#include "icon/Rounding.h"

namespace korimbo {

namespace {
constexpr long double kTaskbarShare = 0.08L;
constexpr long double kDockShare = 0.16L;

DesktopSizeSource& TestSource() {
    static DesktopSizeSource source;
    return source;
}
}  // namespace

DesktopBand ComputeDesktopBand(int32_t iconWidth, DesktopSize desktop) noexcept {
    DesktopBand band;
    band.height = ScaledLength(desktop.height, desktop.width, iconWidth);
    // (W - drawH) / 2 is exact in extended precision for any 32-bit W.
    band.top = RoundHalfEven(static_cast<long double>(static_cast<int64_t>(iconWidth) - band.height) / 2.0L);
    band.taskbarHeight = ScaledByFactor(iconWidth, kTaskbarShare);
    band.dockHeight = ScaledByFactor(iconWidth, kDockShare);
    band.dockTop = band.top + band.height - band.dockHeight;
    return band;
}

DesktopSize VirtualDesktopSize() noexcept {
    return {::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

DesktopSize CurrentDesktopSize() { return TestSource() ? TestSource()() : VirtualDesktopSize(); }

void SetDesktopSizeSourceForTesting(DesktopSizeSource source) { TestSource() = std::move(source); }

}  // namespace korimbo
