// Soak run of Korimbo.dll in the dock host emulator: many draws in both
// icon modes, timer refreshes with the wallpaper changing between them,
// settings dialog openings and file drops. GDI objects, GDI+ images and
// graphics, handles and private bytes are printed before and after; none of
// them may grow. A program that prints figures, not a test.
//
//   soak.exe [draws] [refreshes] [dialogs] [drops]
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "DockHost.h"
#include "HostGdiplus.h"
#include "HostText.h"
#include "ImportPatch.h"
#include "ScriptRunner.h"

namespace {

using dockhost::DockHost;
using Gdiplus::GpStatus;

// --- Counting the GDI+ objects that exist, whoever made them ----------------

std::atomic<long> g_liveImages{0};
std::atomic<long> g_liveGraphics{0};
std::atomic<long> g_liveGdiObjects{0};

// Wraps a GDI+ function whose last argument receives a new object.
template <int Tag, std::atomic<long>& Live, class... Args>
struct Creator {
    using Function = GpStatus(WINGDIPAPI*)(Args...);
    static inline Function original = nullptr;
    static GpStatus WINGDIPAPI Call(Args... args) {
        const GpStatus status = original(args...);
        auto* out = std::get<sizeof...(Args) - 1>(std::tie(args...));
        if (status == Gdiplus::Ok && out && *out) ++Live;
        return status;
    }
};

template <std::atomic<long>& Live, class Object>
struct Destroyer {
    using Function = GpStatus(WINGDIPAPI*)(Object*);
    static inline Function original = nullptr;
    static GpStatus WINGDIPAPI Call(Object* object) {
        const GpStatus status = original(object);
        if (status == Gdiplus::Ok && object) --Live;
        return status;
    }
};

// GDI: creators answer the new handle; DeleteObject and DeleteDC end one.
template <int Tag, class Result, class... Args>
struct GdiCreator {
    using Function = Result(WINAPI*)(Args...);
    static inline Function original = nullptr;
    static Result WINAPI Call(Args... args) {
        const Result made = original(args...);
        if (made) ++g_liveGdiObjects;
        return made;
    }
};

template <int Tag, class Object>
struct GdiDeleter {
    using Function = BOOL(WINAPI*)(Object);
    static inline Function original = nullptr;
    static BOOL WINAPI Call(Object object) {
        const BOOL deleted = original(object);
        if (deleted) --g_liveGdiObjects;
        return deleted;
    }
};

using namespace Gdiplus;
using BitmapFromFile = Creator<1, g_liveImages, const WCHAR*, GpBitmap**>;
using BitmapFromScan0 = Creator<2, g_liveImages, INT, INT, INT, PixelFormat, BYTE*, GpBitmap**>;
using BitmapFromStream = Creator<3, g_liveImages, IStream*, GpBitmap**>;
using ImageFromFile = Creator<4, g_liveImages, const WCHAR*, GpImage**>;
using ImageFromStream = Creator<5, g_liveImages, IStream*, GpImage**>;
using CloneImage = Creator<6, g_liveImages, GpImage*, GpImage**>;
using BitmapFromHbitmap = Creator<7, g_liveImages, HBITMAP, HPALETTE, GpBitmap**>;
using CloneBitmapAreaI = Creator<8, g_liveImages, INT, INT, INT, INT, PixelFormat, GpBitmap*, GpBitmap**>;
using GraphicsOfImage = Creator<9, g_liveGraphics, GpImage*, GpGraphics**>;
using GraphicsOfDc = Creator<10, g_liveGraphics, HDC, GpGraphics**>;
using DisposeImage = Destroyer<g_liveImages, GpImage>;
using DeleteGraphics = Destroyer<g_liveGraphics, GpGraphics>;
using CreateFontW_ = GdiCreator<1, HFONT, int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                DWORD, LPCWSTR>;
using CreateFontIndirectW_ = GdiCreator<2, HFONT, const LOGFONTW*>;
using CreateSolidBrush_ = GdiCreator<3, HBRUSH, COLORREF>;
using CreatePen_ = GdiCreator<4, HPEN, int, int, COLORREF>;
using CreateCompatibleBitmap_ = GdiCreator<5, HBITMAP, HDC, int, int>;
using CreateDIBSection_ = GdiCreator<6, HBITMAP, HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD>;
using CreateCompatibleDC_ = GdiCreator<7, HDC, HDC>;
using DeleteObject_ = GdiDeleter<1, HGDIOBJ>;
using DeleteDC_ = GdiDeleter<2, HDC>;

// Patches one module's imports; Original() of the first patch that applies
// fills the wrapper's pointer.
class GdiplusCounting {
public:
    void Watch(HMODULE module) {
        Add<BitmapFromFile>(module, "GdipCreateBitmapFromFile");
        Add<BitmapFromScan0>(module, "GdipCreateBitmapFromScan0");
        Add<BitmapFromStream>(module, "GdipCreateBitmapFromStream");
        Add<ImageFromFile>(module, "GdipLoadImageFromFile");
        Add<ImageFromStream>(module, "GdipLoadImageFromStream");
        Add<CloneImage>(module, "GdipCloneImage");
        Add<BitmapFromHbitmap>(module, "GdipCreateBitmapFromHBITMAP");
        Add<CloneBitmapAreaI>(module, "GdipCloneBitmapAreaI");
        Add<GraphicsOfImage>(module, "GdipGetImageGraphicsContext");
        Add<GraphicsOfDc>(module, "GdipCreateFromHDC");
        Add<DisposeImage>(module, "GdipDisposeImage");
        Add<DeleteGraphics>(module, "GdipDeleteGraphics");
    }

    // GDI objects are counted for the plug-in alone: the host's own window
    // painting is not under test.
    void WatchGdi(HMODULE module) {
        Add<CreateFontW_>(module, "CreateFontW", "gdi32.dll");
        Add<CreateFontIndirectW_>(module, "CreateFontIndirectW", "gdi32.dll");
        Add<CreateSolidBrush_>(module, "CreateSolidBrush", "gdi32.dll");
        Add<CreatePen_>(module, "CreatePen", "gdi32.dll");
        Add<CreateCompatibleBitmap_>(module, "CreateCompatibleBitmap", "gdi32.dll");
        Add<CreateDIBSection_>(module, "CreateDIBSection", "gdi32.dll");
        Add<CreateCompatibleDC_>(module, "CreateCompatibleDC", "gdi32.dll");
        Add<DeleteObject_>(module, "DeleteObject", "gdi32.dll");
        Add<DeleteDC_>(module, "DeleteDC", "gdi32.dll");
    }

private:
    template <class Wrapper>
    void Add(HMODULE module, const char* name, const char* dll = "gdiplus.dll") {
        auto patch = std::make_unique<dockhost::ImportPatch>(module, dll, name,
                                                             reinterpret_cast<const void*>(&Wrapper::Call));
        if (!patch->Applied()) return;
        if (!Wrapper::original) Wrapper::original = patch->template Original<typename Wrapper::Function>();
        patches_.push_back(std::move(patch));
    }
    std::vector<std::unique_ptr<dockhost::ImportPatch>> patches_;
};

// --- Figures -----------------------------------------------------------------

struct Figures {
    long gdiObjects = 0;
    long windows = 0;
    long handles = 0;
    long gdiplusImages = 0;
    long gdiplusGraphics = 0;
    size_t privateBytes = 0;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    ::EnumChildWindows(window, &CountWindow, count);
    return TRUE;
}

// Wine answers GetProcessHandleCount and GetGuiResources with 0: handles are
// counted by asking about each possible value, which works on both.
long CountKernelHandles() {
    long count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

Figures Measure() {
    Figures figures;
    figures.gdiObjects = g_liveGdiObjects;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&figures.windows));
    figures.handles = CountKernelHandles();
    figures.gdiplusImages = g_liveImages;
    figures.gdiplusGraphics = g_liveGraphics;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    // The commit charge: PrivateUsage on Windows; Wine fills only PagefileUsage.
    figures.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    return figures;
}

void PrintFigures(const Figures& start, const Figures& middle, const Figures& end) {
    auto row = [](const char* name, auto firstValue, auto middleValue, auto lastValue) {
        const auto first = static_cast<double>(firstValue);
        const auto mid = static_cast<double>(middleValue);
        const auto last = static_cast<double>(lastValue);
        std::printf("| %-24s | %10.0f | %10.0f | %10.0f | %+12.0f |\n", name, first, mid, last, last - mid);
    };
    std::printf("\n| %-24s | %10s | %10s | %10s | %12s |\n", "figure", "start", "half-way", "end",
                "second half");
    std::printf("|--------------------------|------------|------------|------------|--------------|\n");
    row("GDI objects (plug-in)", start.gdiObjects, middle.gdiObjects, end.gdiObjects);
    row("windows", start.windows, middle.windows, end.windows);
    row("GDI+ images (live)", start.gdiplusImages, middle.gdiplusImages, end.gdiplusImages);
    row("GDI+ graphics (live)", start.gdiplusGraphics, middle.gdiplusGraphics, end.gdiplusGraphics);
    row("kernel handles", start.handles, middle.handles, end.handles);
    row("private bytes (KiB)", start.privateBytes / 1024, middle.privateBytes / 1024, end.privateBytes / 1024);
}

// --- Workload ----------------------------------------------------------------

std::wstring TempFolderPath() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"korimbo-soak\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool CopyFolderFiles(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((from + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && std::wstring(found.cFileName) != L"wallpaper.png")
            ::CopyFileW((from + found.cFileName).c_str(), (to + found.cFileName).c_str(), FALSE);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return true;
}

// Writes a width x height gradient picture whose colours depend on seed.
bool WriteWallpaper(const std::wstring& path, int width, int height, int seed) {
    GpBitmap* bitmap = nullptr;
    DllExports::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    if (!bitmap) return false;
    Rect all(0, 0, width, height);
    BitmapData data{};
    DllExports::GdipBitmapLockBits(bitmap, &all, ImageLockModeWrite, PixelFormat32bppARGB, &data);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000u | static_cast<uint32_t>((x * 255 / width + seed * 40) & 0xFF) << 16 |
                     static_cast<uint32_t>((y * 255 / height) & 0xFF) << 8 | static_cast<uint32_t>(seed * 90 & 0xFF);
    }
    DllExports::GdipBitmapUnlockBits(bitmap, &data);
    const bool saved = dockhost::SaveImageAsPng(bitmap, path);
    DllExports::GdipDisposeImage(bitmap);
    return saved;
}

// Presses Cancel on the settings dialog as soon as it shows.
void CALLBACK CloseSettingsDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = ::FindWindowW(nullptr, L"Korimbo v0.95 - Settings");
    if (!dialog || !::IsWindowVisible(dialog)) return;
    ::KillTimer(nullptr, timer);
    HWND cancel = ::FindWindowExW(dialog, nullptr, L"Button", L"Cancel");
    if (cancel) ::PostMessageW(cancel, BM_CLICK, 0, 0);
    else ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}

struct Workload {
    int draws = 10000;
    int refreshes = 1000;
    int dialogs = 100;
    int drops = 100;
};

// The host's call log would grow with the run; it is not under test.
void ForgetLogNowAndThen(DockHost& host, int i) {
    if (i % 50 == 0) host.Log().Clear();
}

void Run(DockHost& host, const Workload& work, const std::wstring& folder, const std::wstring& desktop) {
    const std::wstring wallpapers[2] = {folder + L"wallpaper-a.png", folder + L"wallpaper-b.png"};
    for (int i = 0; i < work.draws; ++i) {
        auto custom = host.Draw(1, 48 + (i % 3) * 40, 48 + (i % 3) * 40);
        auto desktopPicture = host.Draw(2, 48 + (i % 3) * 40, 48 + (i % 3) * 40);
        ForgetLogNowAndThen(host, i);
    }
    for (int i = 0; i < work.refreshes; ++i) {
        dockhost::SetWallpaperValue(wallpapers[i % 2]);
        host.FireTimer(1, "Korimbo_refresh");
        ForgetLogNowAndThen(host, i);
    }
    for (int i = 0; i < work.dialogs; ++i) {
        ::SetTimer(nullptr, 0, 30, &CloseSettingsDialog);
        host.Configure(1 + static_cast<uint32_t>(i % 2));
        ForgetLogNowAndThen(host, i);
    }
    for (int i = 0; i < work.drops; ++i) {
        const std::wstring name = L"korimbo-soak-" + std::to_wstring(i) + L".txt";
        dockhost::WriteFileText(folder + name, "soak");
        host.DropFiles(1, {folder + name}, false);
        ::DeleteFileW((desktop + name).c_str());
        ::DeleteFileW((folder + name).c_str());
        ForgetLogNowAndThen(host, i);
    }
    host.Log().Clear();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Workload work;
    int* counts[] = {&work.draws, &work.refreshes, &work.dialogs, &work.drops};
    for (int i = 1; i < argc && i <= 4; ++i) *counts[i - 1] = static_cast<int>(std::wcstol(argv[i], nullptr, 10));

    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    GdiplusStartup(&token, &input, nullptr);
    int exitCode = 0;
    {
        const std::wstring folder = TempFolderPath();
        wchar_t desktop[MAX_PATH] = {};
        ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
        const std::wstring desktopFolder = std::wstring(desktop) + L"\\";
        const std::wstring staged = dockhost::Utf8ToWide("Z:" KORIMBO_PLUGIN_DIR "/");
        std::wstring source = staged;
        for (wchar_t& c : source) if (c == L'/') c = L'\\';
        CopyFolderFiles(source, folder + L"Korimbo\\");
        WriteWallpaper(folder + L"wallpaper-a.png", 1920, 1080, 1);
        WriteWallpaper(folder + L"wallpaper-b.png", 1920, 1200, 2);

        dockhost::DockHostOptions options;
        options.pluginPath = folder + L"Korimbo\\Korimbo.dll";
        DockHost host(options);
        host.Load();
        // Declared after the host: the patches are undone before the library goes.
        GdiplusCounting counting;
        counting.Watch(host.Module());
        counting.WatchGdi(host.Module());
        counting.Watch(::GetModuleHandleW(nullptr));  // the host disposes of the bitmaps it is handed
        host.Settings().Set(2, "IconMode", L"1");
        host.Create(1);
        host.Create(2);

        // One small round first: codecs, fonts and shell state that live for
        // the process are made here, not counted as growth.
        Run(host, {3, 2, 1, 1}, folder, desktopFolder);
        const Figures start = Measure();
        const double started = static_cast<double>(::GetTickCount());
        // Two halves: a leak grows in both; what settles in the first half
        // (allocator pools, caches of the system's) does not grow in the second.
        const Workload half{work.draws / 2, work.refreshes / 2, work.dialogs / 2, work.drops / 2};
        Run(host, half, folder, desktopFolder);
        const Figures middle = Measure();
        Run(host, half, folder, desktopFolder);
        const Figures end = Measure();
        std::printf("soak: %d draws in each of two icon modes, %d timer refreshes with wallpaper changes, "
                    "%d dialog openings, %d drops in %.1f s\n",
                    2 * half.draws, 2 * half.refreshes, 2 * half.dialogs, 2 * half.drops,
                    (static_cast<double>(::GetTickCount()) - started) / 1000.0);
        PrintFigures(start, middle, end);
        // The plug-in's own objects must come back exactly. Handles and memory
        // may settle in the first half (the shell keeps a few handles once it
        // has done a file operation), but must not grow again in the second.
        const bool grew = end.gdiObjects > start.gdiObjects || end.windows > start.windows ||
                          end.gdiplusImages > start.gdiplusImages || end.gdiplusGraphics > start.gdiplusGraphics ||
                          end.handles > middle.handles ||
                          end.privateBytes > middle.privateBytes + 512 * 1024;
        std::printf("\n%s\n", grew ? "GROWTH SEEN" : "no growth");
        exitCode = grew ? 1 : 0;
        dockhost::SetWallpaperValue(L"");
    }
    GdiplusShutdown(token);
    return exitCode;
}
