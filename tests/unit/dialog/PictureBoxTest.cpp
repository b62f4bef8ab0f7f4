// The picture box: what it shows, and that it lets go of the file at once.
#include <gtest/gtest.h>

#include "dialog/PictureBox.h"
#include "platform/Failure.h"
#include "platform/GdiplusObjects.h"
#include "support/TestFolders.h"

namespace korimbo {
namespace {

using test::TempFolder;

void WriteSolidPng(const std::wstring& path, int width, int height, Gdiplus::ARGB colour) {
    using namespace Gdiplus::DllExports;
    Gdiplus::GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap), Gdiplus::Ok);
    UniqueGpImage owner(bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) GdipBitmapSetPixel(bitmap, x, y, colour);
    CLSID png{};
    ASSERT_EQ(::CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png), S_OK);
    ASSERT_EQ(GdipSaveImageToFile(bitmap, path.c_str(), &png, nullptr), Gdiplus::Ok);
}

// The colour at a point of the box, as the box paints itself.
COLORREF ColourAt(HWND box, int x, int y) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 200);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    ::SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

class PictureBoxTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterPictureBoxClass(::GetModuleHandleW(nullptr));
        box_.Reset(::CreateWindowExW(0, kPictureBoxClass, L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(box_);
    }
    void TearDown() override {
        box_.Reset();
        UnregisterPictureBoxClass(::GetModuleHandleW(nullptr));
    }
    TempFolder folder_;
    UniqueWindow box_;
};

TEST_F(PictureBoxTest, ShowsThePictureCentredOnTheButtonFaceAndHoldsNoFile) {
    const std::wstring path = folder_.File(L"wide.png");
    WriteSolidPng(path, 40, 20, 0xFF0000FF);  // blue, twice as wide as high
    LoadPictureInto(box_.Get(), path);
    EXPECT_TRUE(HasPicture(box_.Get()));
    // The file can go at once: the box keeps its own copy.
    EXPECT_TRUE(::DeleteFileW(path.c_str())) << ::GetLastError();
    EXPECT_EQ(ColourAt(box_.Get(), 50, 50), RGB(0, 0, 255));
    EXPECT_EQ(ColourAt(box_.Get(), 50, 10), ::GetSysColor(COLOR_BTNFACE));  // above the 100x50 band
    EXPECT_EQ(ColourAt(box_.Get(), 50, 90), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(PictureBoxTest, AFailedLoadNamesTheFileAndKeepsWhatWasShown) {
    const std::wstring good = folder_.File(L"good.png");
    WriteSolidPng(good, 10, 10, 0xFF00FF00);
    LoadPictureInto(box_.Get(), good);

    const std::wstring damaged = folder_.File(L"damaged.png");
    test::WriteWholeFile(damaged, std::string("\x89PNG\r\n\x1a\n not really", 20));
    const std::wstring cases[] = {folder_.File(L"missing.png"), damaged, folder_.File(L"picture.xyz"), L""};
    for (const std::wstring& path : cases) {
        try {
            LoadPictureInto(box_.Get(), path);
            ADD_FAILURE() << "no failure for a bad picture";
        } catch (const Failure&) {
        }
        EXPECT_TRUE(HasPicture(box_.Get()));
        EXPECT_EQ(ColourAt(box_.Get(), 50, 50), RGB(0, 255, 0));
    }
    ClearPicture(box_.Get());
    EXPECT_FALSE(HasPicture(box_.Get()));
    EXPECT_EQ(ColourAt(box_.Get(), 50, 50), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(PictureBoxTest, OtherWindowsAreLeftAlone) {
    UniqueWindow other(
        ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    EXPECT_THROW(LoadPictureInto(other.Get(), L"x.png"), Failure);
    ClearPicture(other.Get());
    EXPECT_FALSE(HasPicture(other.Get()));
    EXPECT_FALSE(HasPicture(nullptr));
}

}  // namespace
}  // namespace korimbo
