#include "DialogWindows.h"

#include <cstdlib>

#include "HostGdiplus.h"

namespace korimbo::test {

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM found) {
    if (::IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleThreadWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A 32-bit top-down DIB section and a memory DC it is selected into.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = ::CreateCompatibleDC(nullptr);
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = ::SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        ::SelectObject(dc_, previous_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    COLORREF At(int x, int y) const {
        ::GdiFlush();
        return bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] & 0xFFFFFF;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

}  // namespace

HWND VisibleSettingsForm() {
    for (HWND window : VisibleThreadWindows())
        if (TextOf(window) == kFormCaption) return window;
    return nullptr;
}

HWND VisibleDialogOwnedBy(HWND owner) {
    for (HWND window : VisibleThreadWindows())
        if (ClassOf(window) == L"#32770" && ::GetWindow(window, GW_OWNER) == owner) return window;
    return nullptr;
}

void CloseEveryDialogWindow() {
    for (HWND window : VisibleThreadWindows()) {
        if (ClassOf(window) == L"#32770")
            ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        else
            ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

HWND ChildByText(HWND parent, const wchar_t* className, const std::wstring& text) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == className && TextOf(child) == text) return child;
    return nullptr;
}

HWND ChildByClass(HWND parent, const wchar_t* className) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == className) return child;
    return nullptr;
}

std::wstring TextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }

void PostClick(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void TypeText(HWND edit, const std::wstring& text) {
    for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 1);
}

void PostKey(HWND window, UINT virtualKey) {
    ::PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(window, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

bool IsChecked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

COLORREF CentreColour(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0) return CLR_INVALID;
    Canvas canvas(client.right, client.bottom);
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
    return canvas.At(client.right / 2, client.bottom / 2);
}

bool ColoursClose(COLORREF a, COLORREF b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(difference) > tolerance) return false;
    }
    return true;
}

RECT PlaceInParent(HWND child) {
    RECT place{};
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

namespace {

bool SaveCanvas(const Canvas& canvas, const std::wstring& pngPath) {
    ::GdiFlush();
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(canvas.Bitmap(), nullptr, &bitmap) != Gdiplus::Ok)
        return false;
    const bool saved = dockhost::SaveImageAsPng(bitmap, pngPath);
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return saved;
}

}  // namespace

bool SaveScreenshot(HWND window, const std::wstring& pngPath, bool withFrame) {
    RECT area{};
    if (withFrame) {
        ::GetWindowRect(window, &area);
    } else {
        ::GetClientRect(window, &area);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    Canvas canvas(area.right - area.left, area.bottom - area.top);
    HDC screen = ::GetDC(nullptr);
    const BOOL copied =
        ::BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), screen, area.left, area.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    return copied && SaveCanvas(canvas, pngPath);
}

}  // namespace korimbo::test
