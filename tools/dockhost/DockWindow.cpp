#include "DockWindow.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "HostGdiplus.h"
#include "HostText.h"

namespace dockhost {

namespace {

constexpr wchar_t kClassName[] = L"DockHostEmulatorWindow";
constexpr int kPadding = 12;
constexpr int kLabelStrip = 24;
constexpr UINT_PTR kScreenshotTimer = 1;

enum MenuCommand : UINT {
    kConfigure = 1,
    kAddDocklet,
    kRemoveDocklet,
    kExit,
    kIconSizeBase = 1000,  // + size in pixels
};
constexpr int kIconSizes[] = {32, 48, 64, 96, 128, 256};

bool ControlHeld() { return ::GetKeyState(VK_CONTROL) < 0; }

}  // namespace

DockWindow::DockWindow(DockHost& host, Options options) : host_(host), options_(std::move(options)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &DockWindow::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);

    window_ = ::CreateWindowExW(WS_EX_ACCEPTFILES, kClassName, L"Dock host emulator",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                CW_USEDEFAULT, 200, 100, nullptr, nullptr, windowClass.hInstance, this);

    DockHost::Observer observer;
    observer.redrawRequested = [this](uint32_t id) {
        for (Slot& slot : slots_)
            if (slot.id == id) slot.stale = true;
        if (window_) ::InvalidateRect(window_, nullptr, FALSE);
    };
    observer.timerStarted = [this](uint32_t id, const TimerInfo& timer) {
        const UINT_PTR timerId = nextTimer_++;
        timers_[timerId] = {id, timer.name};
        ::SetTimer(window_, timerId, timer.milliseconds, nullptr);
    };
    host_.SetObserver(observer);
}

DockWindow::~DockWindow() {
    host_.SetObserver({});
    if (window_) ::DestroyWindow(window_);
}

int DockWindow::Run() {
    for (uint32_t id : host_.DockletIds()) {
        Slot slot;
        slot.id = id;
        slots_.push_back(std::move(slot));
    }
    FitWindowToIcons();
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    if (!options_.screenshotPath.empty()) ::SetTimer(window_, kScreenshotTimer, 700, nullptr);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return exitCode_;
}

LRESULT CALLBACK DockWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<DockWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<DockWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->Handle(message, wParam, lParam);
    } catch (const std::exception& error) {
        self->host_.Log().Add(std::string("[host] ERROR in the dock window: ") + error.what());
        return 0;
    }
}

LRESULT DockWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        RedrawStaleIcons();
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window_, &paint);
        RECT client;
        ::GetClientRect(window_, &client);
        // Paint off screen, then copy: no flicker while icons change.
        HDC buffer = ::CreateCompatibleDC(dc);
        HBITMAP bitmap = ::CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ previous = ::SelectObject(buffer, bitmap);
        Paint(buffer, client);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
        ::SelectObject(buffer, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(buffer);
        ::EndPaint(window_, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE: {
        const int index = IconAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
            tracking_ = ::TrackMouseEvent(&track) != FALSE;
        }
        if (index != hovered_) {
            hovered_ = index;
            ::InvalidateRect(window_, nullptr, FALSE);
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        tracking_ = false;
        hovered_ = -1;
        ::InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP: {
        const int index = IconAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (index >= 0) host_.Click(slots_[static_cast<size_t>(index)].id, ControlHeld());
        return 0;
    }
    case WM_RBUTTONUP: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int index = IconAt(point);
        ::ClientToScreen(window_, &point);
        ShowMenu(index, point);
        return 0;
    }
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kScreenshotTimer) {
            ::KillTimer(window_, kScreenshotTimer);
            hovered_ = slots_.empty() ? -1 : 0;
            const bool saved = SaveScreenshot(options_.screenshotPath);
            host_.Log().Add("[host] screenshot " + Quoted(WideToUtf8(options_.screenshotPath)) +
                            (saved ? "" : " FAILED"));
            exitCode_ = saved ? 0 : 1;
            ::DestroyWindow(window_);
        } else if (auto timer = timers_.find(wParam); timer != timers_.end()) {
            host_.FireTimer(timer->second.id, timer->second.name);
        }
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

void DockWindow::AddDocklet(uint32_t id) {
    Slot slot;
    slot.id = id;
    slots_.push_back(std::move(slot));
    host_.Create(id);
    FitWindowToIcons();
}

void DockWindow::RemoveDocklet(size_t index) {
    const uint32_t id = slots_[index].id;
    for (auto timer = timers_.begin(); timer != timers_.end();) {
        if (timer->second.id == id) {
            ::KillTimer(window_, timer->first);
            timer = timers_.erase(timer);
        } else {
            ++timer;
        }
    }
    slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(index));
    host_.Destroy(id);
    hovered_ = -1;
    FitWindowToIcons();
}

void DockWindow::FitWindowToIcons() {
    const int count = std::max<int>(1, static_cast<int>(slots_.size()));
    RECT frame{0, 0, kPadding + count * (options_.iconSize + kPadding),
               kLabelStrip + options_.iconSize + 2 * kPadding};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)));
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (Slot& slot : slots_) slot.stale = true;
    ::InvalidateRect(window_, nullptr, FALSE);
}

RECT DockWindow::IconRect(size_t index) const {
    const int left = kPadding + static_cast<int>(index) * (options_.iconSize + kPadding);
    const int top = kLabelStrip + kPadding;
    return {left, top, left + options_.iconSize, top + options_.iconSize};
}

int DockWindow::IconAt(POINT point) const {
    for (size_t i = 0; i < slots_.size(); ++i) {
        const RECT rect = IconRect(i);
        if (::PtInRect(&rect, point)) return static_cast<int>(i);
    }
    return -1;
}

void DockWindow::RedrawStaleIcons() {
    for (Slot& slot : slots_) {
        if (!slot.stale) continue;
        slot.stale = false;
        auto picture = std::make_unique<DockHost::DrawResult>(
            host_.Draw(slot.id, options_.iconSize, options_.iconSize));
        // A docklet that drew nothing keeps showing its last picture.
        if (picture->bitmap) slot.picture = std::move(picture);
    }
}

void DockWindow::Paint(HDC dc, const RECT& client) {
    // A dark shelf with a lighter top edge, as docks tend to look.
    TRIVERTEX vertices[2] = {{0, 0, 0x3000, 0x3400, 0x3C00, 0xFF00},
                             {client.right, client.bottom, 0x1000, 0x1200, 0x1600, 0xFF00}};
    GRADIENT_RECT gradient{0, 1};
    ::GradientFill(dc, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_V);
    RECT shelf{0, client.bottom - kPadding / 2, client.right, client.bottom - kPadding / 2 + 1};
    HBRUSH edge = ::CreateSolidBrush(RGB(110, 120, 140));
    ::FillRect(dc, &shelf, edge);
    ::DeleteObject(edge);

    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::DllExports::GdipCreateFromHDC(dc, &graphics);
    if (graphics) {
        Gdiplus::DllExports::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
        for (size_t i = 0; i < slots_.size(); ++i) {
            const Slot& slot = slots_[i];
            if (!slot.picture || !slot.picture->bitmap) continue;
            const RECT rect = IconRect(i);
            Gdiplus::DllExports::GdipDrawImageRectI(graphics, static_cast<Gdiplus::GpImage*>(slot.picture->bitmap),
                                                    rect.left, rect.top, rect.right - rect.left,
                                                    rect.bottom - rect.top);
        }
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }

    if (hovered_ >= 0 && static_cast<size_t>(hovered_) < slots_.size()) {
        const std::wstring label = AnsiToWide(host_.Label(slots_[static_cast<size_t>(hovered_)].id));
        const RECT icon = IconRect(static_cast<size_t>(hovered_));
        const int centre = (icon.left + icon.right) / 2;
        RECT text{centre - 150, 4, centre + 150, kLabelStrip + 4};
        HFONT font = ::CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                                   L"Tahoma");
        HGDIOBJ previous = ::SelectObject(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(0, 0, 0));
        RECT shadow = text;
        ::OffsetRect(&shadow, 1, 1);
        ::DrawTextW(dc, label.c_str(), -1, &shadow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::DrawTextW(dc, label.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(dc, previous);
        ::DeleteObject(font);
    }
}

void DockWindow::ShowMenu(int index, POINT screenPoint) {
    HMENU sizes = ::CreatePopupMenu();
    for (int size : kIconSizes) {
        const std::wstring text = std::to_wstring(size) + L" px";
        ::AppendMenuW(sizes, MF_STRING | (size == options_.iconSize ? MF_CHECKED : 0u),
                      kIconSizeBase + static_cast<UINT>(size), text.c_str());
    }
    HMENU menu = ::CreatePopupMenu();
    const UINT onIcon = index >= 0 ? MF_STRING : MF_STRING | MF_GRAYED;
    ::AppendMenuW(menu, onIcon, kConfigure, L"&Configure...");
    ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sizes), L"Icon &size");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kAddDocklet, L"&Add docklet");
    ::AppendMenuW(menu, onIcon, kRemoveDocklet, L"&Remove docklet");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kExit, L"E&xit");
    const UINT command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x,
                                                            screenPoint.y, 0, window_, nullptr));
    ::DestroyMenu(menu);  // destroys the submenu with it

    if (command == kConfigure && index >= 0) {
        host_.Configure(slots_[static_cast<size_t>(index)].id);
        slots_[static_cast<size_t>(index)].stale = true;
        ::InvalidateRect(window_, nullptr, FALSE);
    } else if (command == kAddDocklet) {
        uint32_t id = 1;
        for (const Slot& slot : slots_) id = std::max(id, slot.id + 1);
        AddDocklet(id);
    } else if (command == kRemoveDocklet && index >= 0) {
        RemoveDocklet(static_cast<size_t>(index));
    } else if (command == kExit) {
        ::DestroyWindow(window_);
    } else if (command > kIconSizeBase) {
        options_.iconSize = static_cast<int>(command - kIconSizeBase);
        FitWindowToIcons();
    }
}

void DockWindow::DropFiles(HDROP drop) {
    POINT point{};
    ::DragQueryPoint(drop, &point);
    std::vector<std::wstring> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length, L'\0');
        ::DragQueryFileW(drop, i, path.data(), length + 1);
        paths.push_back(path);
    }
    ::DragFinish(drop);
    const int index = IconAt(point);
    if (index >= 0 && !paths.empty()) host_.DropFiles(slots_[static_cast<size_t>(index)].id, paths, ControlHeld());
}

bool DockWindow::SaveScreenshot(const std::wstring& path) {
    RedrawStaleIcons();
    RECT client;
    ::GetClientRect(window_, &client);
    HDC screen = ::GetDC(window_);
    HDC buffer = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = ::SelectObject(buffer, bitmap);
    Paint(buffer, client);
    ::SelectObject(buffer, previous);
    Gdiplus::GpBitmap* picture = nullptr;
    Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &picture);
    const bool saved = picture && SaveImageAsPng(picture, path);
    if (picture) Gdiplus::DllExports::GdipDisposeImage(picture);
    ::DeleteObject(bitmap);
    ::DeleteDC(buffer);
    ::ReleaseDC(window_, screen);
    return saved;
}

}  // namespace dockhost
