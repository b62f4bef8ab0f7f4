// Figures for the wallpaper snapshot: the every-minute unchanged check, the
// remake from large JPEG and PNG wallpapers beside GDI+'s decoding alone and
// beside the plain GDI+ way, and the remake's peak memory.
//
//   bench_snapshot.exe                 the whole table
//   bench_snapshot.exe --peak WAY FILE one remake in a fresh process (WAY:
//                                      remake, decode or gdiplus), printing
//                                      the peak memory it adds
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "DockHost.h"
#include "ScriptRunner.h"
#include "icon/PictureHeader.h"
#include "icon/SnapshotSize.h"
#include "icon/WallpaperSnapshot.h"
#include "platform/GdiplusObjects.h"

namespace {

namespace gp = Gdiplus::DllExports;
using korimbo::UniqueGpImage;

struct Wallpaper {
    int width;
    int height;
    const wchar_t* mimeType;
    const char* kind;
};

const Wallpaper kWallpapers[] = {
    {1920, 1080, L"image/jpeg", "JPEG"}, {1920, 1080, L"image/png", "PNG"},   {3840, 2160, L"image/jpeg", "JPEG"},
    {3840, 2160, L"image/png", "PNG"},   {7680, 4320, L"image/jpeg", "JPEG"}, {7680, 4320, L"image/png", "PNG"},
};

std::wstring TempFolderPath() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"korimbo-bench-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool FindEncoder(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0, bytes = 0;
    gp::GdipGetImageEncodersSize(&count, &bytes);
    std::vector<uint8_t> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    gp::GdipGetImageEncoders(count, bytes, codecs);
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(codecs[i].MimeType) == mimeType) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

// A photo-like 24-bit picture: smooth gradients, soft shapes and a little
// grain, so both codecs meet realistic data.
void WriteWallpaper(const Wallpaper& wallpaper, const std::wstring& path) {
    const size_t stride = (static_cast<size_t>(wallpaper.width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(wallpaper.height));
    uint32_t grain = 12345;
    for (int y = 0; y < wallpaper.height; ++y) {
        uint8_t* row = &pixels[static_cast<size_t>(y) * stride];
        for (int x = 0; x < wallpaper.width; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int noise = static_cast<int>(grain >> 29) - 4;
            const int dx = x - wallpaper.width / 2, dy = y - wallpaper.height / 3;
            const int glow = std::max(
                0, 255 - static_cast<int>((static_cast<int64_t>(dx) * dx + static_cast<int64_t>(dy) * dy) /
                                          (static_cast<int64_t>(wallpaper.width) * 20)));
            row[x * 3] = static_cast<uint8_t>(std::clamp(40 + 180 * y / wallpaper.height + noise, 0, 255));
            row[x * 3 + 1] = static_cast<uint8_t>(std::clamp(glow / 2 + 60 * x / wallpaper.width + noise, 0, 255));
            row[x * 3 + 2] = static_cast<uint8_t>(std::clamp(glow + noise, 0, 255));
        }
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    gp::GdipCreateBitmapFromScan0(wallpaper.width, wallpaper.height, static_cast<INT>(stride), PixelFormat24bppRGB,
                                  pixels.data(), &bitmap);
    const UniqueGpImage owner(bitmap);
    CLSID encoder{};
    FindEncoder(wallpaper.mimeType, &encoder);
    ULONG quality = 90;
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;
    gp::GdipSaveImageToFile(bitmap, path.c_str(), &encoder,
                            std::wstring(wallpaper.mimeType) == L"image/jpeg" ? &parameters : nullptr);
}

// Decoding alone: the picture loaded and all its pixels made available.
void DecodeOnly(const std::wstring& path) {
    UniqueGpImage image;
    gp::GdipLoadImageFromFile(path.c_str(), image.Receive());
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(image.Get(), &width);
    gp::GdipGetImageHeight(image.Get(), &height);
    Gdiplus::PixelFormat format = PixelFormatUndefined;
    gp::GdipGetImagePixelFormat(image.Get(), &format);
    // GDI+ on Windows decodes lazily: reading the pixels forces it.
    const Gdiplus::GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image.Get());
    if (gp::GdipBitmapLockBits(bitmap, &rect, Gdiplus::ImageLockModeRead, format, &data) == Gdiplus::Ok)
        gp::GdipBitmapUnlockBits(bitmap, &data);
}

// The plain GDI+ way: decode, draw with high-quality interpolation onto a
// 500-pixel bitmap, save with GDI+'s PNG encoder.
void PlainGdiplusRemake(const std::wstring& path, const std::wstring& out) {
    UniqueGpImage image;
    gp::GdipLoadImageFromFile(path.c_str(), image.Receive());
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(image.Get(), &width);
    gp::GdipGetImageHeight(image.Get(), &height);
    const korimbo::PixelSize size = korimbo::SnapshotSize(width, height);
    Gdiplus::GpBitmap* target = nullptr;
    gp::GdipCreateBitmapFromScan0(static_cast<INT>(size.Width), static_cast<INT>(size.Height), 0,
                                  PixelFormat32bppRGB, nullptr, &target);
    const UniqueGpImage targetOwner(target);
    {
        korimbo::UniqueGpGraphics graphics;
        gp::GdipGetImageGraphicsContext(target, graphics.Receive());
        gp::GdipSetInterpolationMode(graphics.Get(), Gdiplus::InterpolationModeHighQualityBicubic);
        gp::GdipDrawImageRectI(graphics.Get(), image.Get(), 0, 0, static_cast<INT>(size.Width),
                               static_cast<INT>(size.Height));
    }
    CLSID png{};
    FindEncoder(L"image/png", &png);
    gp::GdipSaveImageToFile(target, out.c_str(), &png, nullptr);
}

size_t FileBytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

std::string Megapixels(const Wallpaper& w) {
    return std::to_string(w.width) + "x" + std::to_string(w.height) + " " + w.kind;
}

void UnchangedCheckRows(const std::wstring& folder, const std::wstring& wallpaper) {
    bench::PrintHeader("Unchanged-wallpaper check (per check, through the dock host emulator)");
    dockhost::SetWallpaperValue(wallpaper);
    dockhost::DockHostOptions options;
    options.pluginPath = std::wstring(L"Z:") + [] {
        std::wstring p;
        for (const char* c = KORIMBO_PLUGIN_DIR; *c; ++c)
            p.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
        return p;
    }() + L"\\Korimbo.dll";
    options.baseFolder = folder;
    ::CreateDirectoryW((folder + L"Korimbo").c_str(), nullptr);
    dockhost::DockHost host(options);
    host.Load();
    host.Create(1);
    constexpr int kChecks = 2000;
    const double check = bench::MedianMs(9,
                                         [&] {
                                             for (int i = 0; i < kChecks; ++i)
                                                 host.FireTimer(1, "Korimbo_refresh");
                                         }) /
                         kChecks;
    const double floor =
        bench::MedianMs(9,
                        [&] {
                            for (int i = 0; i < kChecks; ++i) {
                                wchar_t value[1024];
                                DWORD bytes = sizeof value;
                                ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper",
                                               RRF_RT_REG_SZ, nullptr, value, &bytes);
                                WIN32_FIND_DATAW found{};
                                const HANDLE search = ::FindFirstFileW(value, &found);
                                if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
                            }
                        }) /
        kChecks;
    bench::PrintRow("refresh, wallpaper unchanged", check * 1000.0, "registry read + file lookup", floor * 1000.0,
                    "us");
    host.Unload();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void RemakeRows(const std::wstring& folder, const std::vector<std::wstring>& paths) {
    bench::PrintHeader("Snapshot remake (median; the three ways take turns, so each sees the same load)");
    for (size_t i = 0; i < paths.size(); ++i) {
        const Wallpaper& w = kWallpapers[i];
        const int runs = w.width > 4000 ? 5 : 11;
        const std::wstring ours = folder + L"ours.png", theirs = folder + L"theirs.png";
        std::vector<double> remake, decode, plain;
        for (int run = 0; run < runs; ++run) {
            remake.push_back(bench::MedianMs(1, [&] { korimbo::WriteWallpaperSnapshot(paths[i], ours); }));
            decode.push_back(bench::MedianMs(1, [&] { DecodeOnly(paths[i]); }));
            plain.push_back(bench::MedianMs(1, [&] { PlainGdiplusRemake(paths[i], theirs); }));
        }
        bench::PrintRow("remake " + Megapixels(w), Median(remake), "GDI+ decoding alone", Median(decode));
        bench::PrintRow("remake " + Megapixels(w), Median(remake), "plain GDI+ (draw + PNG encoder)",
                        Median(plain));
        bench::PrintRow("snapshot size " + Megapixels(w), static_cast<double>(FileBytes(ours)) / 1024.0,
                        "GDI+ PNG encoder's size", static_cast<double>(FileBytes(theirs)) / 1024.0, "KB");
    }
}

// Runs this program again for one remake, so that its peak is its own.
void PeakRow(const std::wstring& way, const std::wstring& path) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --peak " + way + L" \"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::fflush(stdout);
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process))
        return;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

int MeasurePeak(const std::wstring& way, const std::wstring& path) {
    // The size from the header: loading the picture here would already
    // raise the peak (GDI+ under Wine decodes on loading).
    const auto size = korimbo::ReadHeaderSize(path);
    if (!size) return 1;
    // GDI+ decodes these JPEG and RGB PNG wallpapers to 24 bits per pixel.
    const double decodedCopy = static_cast<double>(size->Width) * static_cast<double>(size->Height) * 3.0;
    const size_t before = bench::PeakWorkingSetBytes();
    const std::wstring out = path + L"." + way + L".png";
    std::string name;
    if (way == L"remake") {
        korimbo::WriteWallpaperSnapshot(path, out);
        name = "our remake";
    } else if (way == L"decode") {
        DecodeOnly(path);
        name = "GDI+ decoding alone";
    } else {
        PlainGdiplusRemake(path, out);
        name = "plain GDI+ way";
    }
    const double extra = static_cast<double>(bench::PeakWorkingSetBytes() - before);
    const std::string kind = path.ends_with(L".jpg") ? "JPEG" : "PNG";
    bench::PrintRow("8K " + kind + " peak extra, " + name, extra / 1048576.0, "one decoded copy (24 bpp)",
                    decodedCopy / 1048576.0, "MB");
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int result = 0;
    if (argc == 4 && std::wstring(argv[1]) == L"--peak") {
        result = MeasurePeak(argv[2], argv[3]);
    } else {
        const std::wstring folder = TempFolderPath();
        std::vector<std::wstring> paths;
        for (const Wallpaper& w : kWallpapers) {
            paths.push_back(folder + L"wall-" + std::to_wstring(w.width) + L"x" + std::to_wstring(w.height) +
                            (std::wstring(w.mimeType) == L"image/jpeg" ? L".jpg" : L".png"));
            WriteWallpaper(w, paths.back());
        }
        std::printf("Wallpaper files:");
        for (size_t i = 0; i < paths.size(); ++i)
            std::printf(" %s %.1f MB;", Megapixels(kWallpapers[i]).c_str(),
                        static_cast<double>(FileBytes(paths[i])) / 1048576.0);
        std::printf("\n");

        wchar_t saved[2048] = {};
        DWORD bytes = sizeof saved - sizeof(wchar_t);
        ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr, saved,
                       &bytes);
        UnchangedCheckRows(folder, paths[0]);
        dockhost::SetWallpaperValue(saved);

        RemakeRows(folder, paths);

        bench::PrintHeader("Peak working set added by one 8K remake (a fresh process each)");
        for (const std::wstring& path : {paths[4], paths[5]}) {
            PeakRow(L"remake", path);
            PeakRow(L"decode", path);
            PeakRow(L"gdiplus", path);
        }
        for (const std::wstring& path : paths) {
            ::DeleteFileW(path.c_str());
            ::DeleteFileW((path + L".remake.png").c_str());
            ::DeleteFileW((path + L".gdiplus.png").c_str());
        }
        for (const wchar_t* name : {L"ours.png", L"theirs.png", L"Korimbo\\wallpaper.png"})
            ::DeleteFileW((folder + name).c_str());
        ::RemoveDirectoryW((folder + L"Korimbo").c_str());
        ::RemoveDirectoryW(folder.c_str());
    }
    Gdiplus::GdiplusShutdown(token);
    ::LocalFree(argv);
    return result;
}
