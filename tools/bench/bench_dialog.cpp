// Figures for the settings dialog, through the real plug-in in the dock host
// emulator: opening it (fill, preview, show, first paint) and cancelling,
// loading a preview, and what repeated openings leave behind.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "DockHost.h"
#include "HostGdiplus.h"
#include "MessageBoxAnswerer.h"
#include "dialog/PictureBox.h"
#include "icon/PictureLoader.h"

namespace {

constexpr wchar_t kFormCaption[] = L"Korimbo v0.95 - Settings";

std::wstring UnixToWindows(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    if (path.back() != L'\\') path.push_back(L'\\');
    return path;
}

std::wstring TempBase() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring base =
        std::wstring(temp) + L"korimbo-bench-dialog-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(base.c_str(), nullptr);
    ::CreateDirectoryW((base + L"Korimbo\\").c_str(), nullptr);
    const std::wstring staged = UnixToWindows(KORIMBO_PLUGIN_DIR);
    for (const wchar_t* name : {L"Korimbo.dll", L"default.png", L"notused.png", L"taskbar.png", L"dock.png"})
        ::CopyFileW((staged + name).c_str(), (base + L"Korimbo\\" + name).c_str(), FALSE);
    return base;
}

// Cancels the form as soon as it is visible; the timer's message comes after
// the form's first paint.
void CALLBACK CancelWhenShown(HWND, UINT, UINT_PTR, DWORD) {
    HWND form = ::FindWindowW(nullptr, kFormCaption);
    if (form && ::IsWindowVisible(form)) ::PostMessageW(form, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

double OpenAndCancel(dockhost::DockHost& host) {
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, CancelWhenShown);
    const double start = bench::NowMs();
    host.Configure(1);
    const double elapsed = bench::NowMs() - start;
    ::KillTimer(nullptr, timer);
    return elapsed;
}

size_t WorkingSetBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND box = ::FindWindowW(L"#32770", L"bench")) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

int main() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        const std::wstring base = TempBase();
        dockhost::DockHostOptions options;
        options.pluginPath = base + L"Korimbo\\Korimbo.dll";
        dockhost::DockHost host(options);
        dockhost::MessageBoxAnswerer answerer(host.Log());
        host.Load();
        host.Create(1);

        bench::PrintHeader("Settings dialog (through Korimbo.dll in the dock host emulator)");
        OpenAndCancel(host);  // the first opening also makes the window
        const double open = bench::MedianMs(21, [&] { OpenAndCancel(host); });
        const double box = bench::MedianMs(21, [&] {
            const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, AnswerBox);
            ::MessageBoxW(nullptr, L"A modal box for comparison", L"bench", MB_OK);
            ::KillTimer(nullptr, timer);
        });
        bench::PrintRow("open, show, paint and cancel the dialog", open, "a message box shown and answered", box);

        // What repeated openings leave behind. (Wine answers GetGuiResources
        // and the private byte count with 0; the working set is what it keeps.)
        const double workingBefore = static_cast<double>(WorkingSetBytes()) / 1024.0;
        for (int i = 0; i < 100; ++i) OpenAndCancel(host);
        bench::PrintRow("working set after 100 more openings", static_cast<double>(WorkingSetBytes()) / 1024.0,
                        "before them", workingBefore, "KB");

        // One preview: the picture is loaded, fitted and copied, the file let go.
        korimbo::RegisterPictureBoxClass(::GetModuleHandleW(nullptr));
        HWND boxWindow = ::CreateWindowExW(0, korimbo::kPictureBoxClass, L"", WS_POPUP, 0, 0, 145, 145, nullptr,
                                           nullptr, ::GetModuleHandleW(nullptr), nullptr);
        const std::wstring picture = base + L"Korimbo\\default.png";
        const double preview = bench::MedianMs(51, [&] { korimbo::LoadPictureInto(boxWindow, picture); });
        const double loadOnly = bench::MedianMs(51, [&] { korimbo::LoadPicture(picture); });
        bench::PrintRow("preview of default.png in a 145 x 145 box", preview, "loading the picture alone",
                        loadOnly);
        ::DestroyWindow(boxWindow);
        korimbo::UnregisterPictureBoxClass(::GetModuleHandleW(nullptr));
        host.Unload();
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
