// HandleDrawIcon through the real Korimbo.dll in the dock host emulator, each
// size and mode beside its floor: creating the bitmap and drawing pictures
// that are already decoded, with GDI+ directly. The host's disposal of the
// bitmap is counted on both sides.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "BenchSupport.h"
#include "DockHost.h"
#include "HostGdiplus.h"
#include "icon/IconGeometry.h"

namespace {

using namespace Gdiplus::DllExports;

constexpr int kRuns = 100;

// A Unix path of the build as the Windows path Wine maps it to.
std::wstring WindowsPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

Gdiplus::GpImage* Load(const std::wstring& path) {
    Gdiplus::GpImage* image = nullptr;
    GdipLoadImageFromFile(path.c_str(), &image);
    return image;
}

// The demo wallpaper at snapshot size, saved as the snapshot.
void WriteSnapshot(const std::wstring& wallpaper, const std::wstring& snapshot) {
    Gdiplus::GpImage* source = Load(wallpaper);
    Gdiplus::GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(500, 281, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    Gdiplus::GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(bitmap, &graphics);
    GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQuality);
    GdipDrawImageRectI(graphics, source, 0, 0, 500, 281);
    GdipDeleteGraphics(graphics);
    dockhost::SaveImageAsPng(bitmap, snapshot);
    GdipDisposeImage(bitmap);
    GdipDisposeImage(source);
}

// Medians of two pieces of work timed in turn, so that a busy machine slows
// both alike; the best of five rounds, so that one busy stretch does not
// decide a row.
template <class A, class B>
std::pair<double, double> PairedMedians(int runs, A&& a, B&& b) {
    std::pair<double, double> best{1e30, 1e30};
    for (int round = 0; round < 5; ++round) {
        std::vector<double> first, second;
        for (int i = 0; i < runs; ++i) {
            first.push_back(bench::MedianMs(1, a));
            second.push_back(bench::MedianMs(1, b));
        }
        std::sort(first.begin(), first.end());
        std::sort(second.begin(), second.end());
        best.first = std::min(best.first, first[first.size() / 2]);
        best.second = std::min(best.second, second[second.size() / 2]);
    }
    return best;
}

// Committed memory: Wine leaves PrivateUsage at 0 but keeps PagefileUsage.
size_t CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

struct Layer {
    Gdiplus::GpImage* image;
    float y, height;
};

// The floor: a new bitmap, a graphics object, the decoded layers drawn.
void DrawFloor(int size, const std::vector<Layer>& layers) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(size, size, 4 * size, PixelFormat32bppARGB, nullptr, &bitmap);
    Gdiplus::GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(bitmap, &graphics);
    GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQuality);
    for (const Layer& layer : layers)
        GdipDrawImageRect(graphics, layer.image, 0, layer.y, static_cast<float>(size), layer.height);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(bitmap);
}

}  // namespace

int main() {
    Gdiplus::GdiplusStartupInput input{};
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    const std::wstring staged = WindowsPath(KORIMBO_PLUGIN_DIR) + L"\\";
    const std::wstring base = staged + L"..\\..\\bench-draw\\";
    const std::wstring assets = base + L"Korimbo\\";
    ::CreateDirectoryW(base.c_str(), nullptr);
    ::CreateDirectoryW(assets.c_str(), nullptr);
    for (const wchar_t* name : {L"Korimbo.dll", L"default.png", L"taskbar.png", L"dock.png", L"notused.png"})
        ::CopyFileW((staged + name).c_str(), (assets + name).c_str(), FALSE);

    dockhost::DockHost host({assets + L"Korimbo.dll", base, L"", 48, 48, {}});
    host.Settings().Set(1, "IconMode", L"1");
    host.Settings().Set(1, "DummyOverlay", L"1");
    host.Settings().Set(2, "IconMode", L"0");
    host.Load();
    host.Create(1);
    host.Create(2);
    WriteSnapshot(WindowsPath(KORIMBO_SOURCE_DIR) + L"\\assets\\demo\\wallpaper.png", assets + L"wallpaper.png");

    Gdiplus::GpImage* snapshot = Load(assets + L"wallpaper.png");
    Gdiplus::GpImage* taskbar = Load(assets + L"taskbar.png");
    Gdiplus::GpImage* dock = Load(assets + L"dock.png");
    Gdiplus::GpImage* icon = Load(assets + L"default.png");

    bench::PrintHeader("HandleDrawIcon (best of 5 medians of 100 calls, 1920 x 1080 desktop)");
    for (int size : {48, 128, 256}) {
        const korimbo::DesktopBand band = korimbo::ComputeDesktopBand(size, {1920, 1080});
        const auto at = [](int32_t value) { return static_cast<float>(value); };
        const std::vector<Layer> desktop = {{snapshot, at(band.top), at(band.height)},
                                            {taskbar, at(band.top), at(band.taskbarHeight)},
                                            {dock, at(band.dockTop), at(band.dockHeight)}};

        const auto [mode1, floor1] = PairedMedians(
            kRuns, [&] { host.Draw(1, size, size); }, [&] { DrawFloor(size, desktop); });
        bench::PrintRow("mode 1 + overlays, " + std::to_string(size) + " px", mode1, "floor: 3 decoded pictures",
                        floor1);
        const auto [mode0, floor0] = PairedMedians(
            kRuns, [&] { host.Draw(2, size, size); },
            [&] {
                DrawFloor(256, {{icon, 0, 256}});
            });
        bench::PrintRow("mode 0 (256 px default icon), rect " + std::to_string(size) + " px", mode0,
                        "floor: decoded icon copied", floor0);
        host.Log().Clear();
    }
    // What every drawing costs before any picture: the host's call, the
    // record, the label and the icon rectangle.
    host.Settings().Set(3, "IconMode", L"2");
    host.Create(3);
    const double nothing = bench::MedianMs(kRuns, [&] { host.Draw(3, 48, 48); });
    std::printf("the call without a picture (mode 2): %.3f ms\n", nothing);
    // Nothing may stay behind a drawing: committed memory, which leaked GDI+
    // bitmaps and pictures would make grow with the count.
    const size_t before = CommittedBytes();
    for (int i = 0; i < 2000; ++i) {
        host.Draw(1 + static_cast<uint32_t>(i % 2), 128, 128);
        if (i % 100 == 0) host.Log().Clear();
    }
    host.Log().Clear();
    std::printf("committed memory %.1f MB, after 2000 more drawings: %+.1f KB\n",
                static_cast<double>(before) / 1048576.0,
                (static_cast<double>(CommittedBytes()) - static_cast<double>(before)) / 1024.0);
    std::printf("peak working set: %.1f MB\n", static_cast<double>(bench::PeakWorkingSetBytes()) / 1048576.0);

    for (Gdiplus::GpImage* image : {snapshot, taskbar, dock, icon}) GdipDisposeImage(image);
    host.Unload();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
