#include "dialog/PictureBox.h"

#include <exception>
#include <memory>
#include <string_view>

#include "dialog/PictureFit.h"
#include "icon/PictureLoader.h"
#include "platform/Failure.h"
#include "platform/FpuControl.h"
#include "platform/GdiplusObjects.h"

namespace korimbo {

namespace {

using namespace Gdiplus::DllExports;

struct PictureBoxState {
    UniqueGpImage picture;  // already at the size it is shown at
    RECT place{};           // where, in the client area it was fitted to
};

// Only windows of this class carry a state; any other window answers null.
PictureBoxState* StateOf(HWND box) {
    wchar_t className[64] = {};
    if (!box || !::GetClassNameW(box, className, 64) || std::wstring_view(className) != kPictureBoxClass)
        return nullptr;
    return reinterpret_cast<PictureBoxState*>(::GetWindowLongPtrW(box, GWLP_USERDATA));
}

void Check(Gdiplus::GpStatus status, const char* call) {
    if (status != Gdiplus::Ok)
        throw Failure(std::string(call) + " failed (GDI+ status " + std::to_string(status) + ")");
}

// A copy of `source` scaled to `width` x `height`, premultiplied for drawing.
UniqueGpImage ScaledCopy(Gdiplus::GpImage* source, int width, int height) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    Check(GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppPARGB, nullptr, &bitmap),
          "GdipCreateBitmapFromScan0");
    UniqueGpImage copy(bitmap);
    UniqueGpGraphics graphics;
    Check(GdipGetImageGraphicsContext(copy.Get(), graphics.Receive()), "GdipGetImageGraphicsContext");
    GdipSetInterpolationMode(graphics.Get(), Gdiplus::InterpolationModeHighQualityBicubic);
    GdipSetPixelOffsetMode(graphics.Get(), Gdiplus::PixelOffsetModeHighQuality);
    Check(GdipDrawImageRectI(graphics.Get(), source, 0, 0, width, height), "GdipDrawImageRectI");
    return copy;
}

void Paint(HWND box, HDC dc) {
    RECT client{};
    ::GetClientRect(box, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    const PictureBoxState* state = StateOf(box);
    if (!state || !state->picture) return;
    UniqueGpGraphics graphics;
    if (GdipCreateFromHDC(dc, graphics.Receive()) != Gdiplus::Ok) return;
    const RECT& at = state->place;
    GdipDrawImageRectI(graphics.Get(), state->picture.Get(), at.left, at.top, at.right - at.left,
                       at.bottom - at.top);
}

LRESULT HandleMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            ::SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PictureBoxState));
            break;
        case WM_NCDESTROY:
            delete StateOf(box);
            ::SetWindowLongPtrW(box, GWLP_USERDATA, 0);
            break;
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            if (HDC dc = ::BeginPaint(box, &paint)) {
                Paint(box, dc);
                ::EndPaint(box, &paint);
            }
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(box, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // clicks belong to what lies below, as on a label
    }
    return ::DefWindowProcW(box, message, wParam, lParam);
}

LRESULT CALLBACK PictureBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    FpuControlScope fpu;
    try {
        return HandleMessage(box, message, wParam, lParam);
    } catch (const std::exception& failure) {
        ::OutputDebugStringA(failure.what());
    } catch (...) {
        ::OutputDebugStringA("Korimbo: picture box failure");
    }
    return message == WM_NCCREATE ? FALSE : 0;
}

}  // namespace

void RegisterPictureBoxClass(HINSTANCE module) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = PictureBoxProc;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPictureBoxClass;
    if (!::RegisterClassExW(&windowClass)) RaiseWin32Failure("RegisterClassExW");
}

void UnregisterPictureBoxClass(HINSTANCE module) noexcept { ::UnregisterClassW(kPictureBoxClass, module); }

void LoadPictureInto(HWND box, const std::wstring& path) {
    PictureBoxState* state = StateOf(box);
    if (!state) throw Failure("Not a picture box");
    FpuControlScope fpu;
    RECT client{};
    ::GetClientRect(box, &client);
    UniqueGpImage picture;
    RECT place{};
    {
        // The loaded picture, and with it any hold on the file, ends here.
        UniqueGpImage loaded = LoadPicture(path);
        UINT width = 0, height = 0;
        Check(GdipGetImageWidth(loaded.Get(), &width), "GdipGetImageWidth");
        Check(GdipGetImageHeight(loaded.Get(), &height), "GdipGetImageHeight");
        place = ProportionalStretchRect(static_cast<int>(width), static_cast<int>(height), client.right,
                                        client.bottom);
        if (place.right > place.left && place.bottom > place.top)
            picture = ScaledCopy(loaded.Get(), place.right - place.left, place.bottom - place.top);
    }
    state->picture = std::move(picture);
    state->place = place;
    ::InvalidateRect(box, nullptr, FALSE);
}

void ClearPicture(HWND box) noexcept {
    if (PictureBoxState* state = StateOf(box)) {
        state->picture.Reset();
        ::InvalidateRect(box, nullptr, FALSE);
    }
}

bool HasPicture(HWND box) noexcept {
    const PictureBoxState* state = StateOf(box);
    return state && state->picture;
}

}  // namespace korimbo
