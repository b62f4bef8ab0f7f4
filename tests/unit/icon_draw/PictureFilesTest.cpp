// Icon and overlay files as the drawing reads them: decoded from a copy of
// their bytes, kept between drawings, and nothing when they are not pictures.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "icon/DecodedPictureCache.h"
#include "icon/DetachedFileBitmap.h"
#include "support/SolidPicture.h"
#include "support/TestFolders.h"

namespace korimbo {
namespace {

using namespace Gdiplus::DllExports;

struct FileCase {
    const char* what;
    std::function<void(const std::wstring& path)> make;  // nothing made: missing
    bool isPicture;
};

std::ostream& operator<<(std::ostream& out, const FileCase& c) { return out << c.what; }

class PictureFileTest : public testing::TestWithParam<FileCase> {
protected:
    void SetUp() override {
        ClearPictureCache();
        if (GetParam().make) GetParam().make(path_);
    }
    test::TempFolder folder_;
    std::wstring path_ = folder_.File(L"picture.png");
};

UINT WidthOf(Gdiplus::GpImage* image) {
    UINT width = 0;
    GdipGetImageWidth(image, &width);
    return width;
}

TEST_P(PictureFileTest, CachedAndDetachedAgreeOnWhatIsAPicture) {
    const CachedPicture cached = LoadCachedPicture(path_);
    const UniqueGpImage detached = NewDetachedBitmapFromFile(path_);
    EXPECT_EQ(static_cast<bool>(cached), GetParam().isPicture);
    EXPECT_EQ(static_cast<bool>(detached), GetParam().isPicture);
    if (GetParam().isPicture) {
        EXPECT_EQ(WidthOf(cached.bitmap.Get()), 7u);
        EXPECT_EQ(WidthOf(detached.Get()), 7u);
    }
}

void WriteText(const std::wstring& path, const std::string& text) { test::WriteWholeFile(path, text); }

INSTANTIATE_TEST_SUITE_P(
    Files, PictureFileTest,
    testing::Values(
        FileCase{"a PNG", [](const std::wstring& p) { test::WriteSolidPng(p, 7, 5, 0x80FF0000); }, true},
        FileCase{"missing", nullptr, false},
        FileCase{"empty", [](const std::wstring& p) { WriteText(p, ""); }, false},
        FileCase{"not a picture", [](const std::wstring& p) { WriteText(p, "hello, world"); }, false},
        FileCase{"a PNG cut short",
                 [](const std::wstring& p) {
                     test::WriteSolidPng(p, 7, 5, 0xFF00FF00);
                     std::vector<uint8_t> bytes = test::ReadWholeFile(p);
                     bytes.resize(40);
                     test::WriteWholeFile(p, bytes);
                 },
                 false},
        FileCase{"a folder", [](const std::wstring& p) { ::CreateDirectoryW(p.c_str(), nullptr); }, false}));

TEST(DecodedPictureCacheTest, ThePixelsLiveAsLongAsTheirBitmapWhateverTheFileDoes) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"overlay.png");
    ASSERT_TRUE(test::WriteSolidPng(path, 4, 4, 0xFF0000FF));
    const CachedPicture first = LoadCachedPicture(path);
    ASSERT_TRUE(first);
    // A new version replaces the cache entry; the bitmap in use keeps its own.
    ASSERT_TRUE(test::WriteSolidPng(path, 4, 4, 0xFFFF0000));
    const CachedPicture second = LoadCachedPicture(path);
    ASSERT_TRUE(::DeleteFileW(path.c_str()));
    EXPECT_FALSE(LoadCachedPicture(path));

    Gdiplus::ARGB colour = 0;
    GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(first.bitmap.Get()), 1, 1, &colour);
    EXPECT_EQ(colour, 0xFF0000FFu);
    GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(second.bitmap.Get()), 1, 1, &colour);
    EXPECT_EQ(colour, 0xFFFF0000u);
}

TEST(DecodedPictureCacheTest, LargePictureIsNotKeptButStillComesDetached) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"large.png");
    ASSERT_TRUE(test::WriteSolidPng(path, 1100, 1000, 0xFF336699));
    EXPECT_FALSE(LoadCachedPicture(path));
    const UniqueGpImage detached = NewDetachedBitmapFromFile(path);
    ASSERT_TRUE(detached);
    EXPECT_EQ(WidthOf(detached.Get()), 1100u);
}

TEST(DetachedFileBitmapTest, KeepsTheFilesResolution) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"icon.png");
    Gdiplus::GpBitmap* source = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(3, 3, 0, PixelFormat32bppARGB, nullptr, &source), Gdiplus::Ok);
    GdipBitmapSetResolution(source, 144.0f, 72.0f);
    ASSERT_TRUE(dockhost::SaveImageAsPng(source, path));
    GdipDisposeImage(source);

    for (int drawing = 0; drawing < 2; ++drawing) {  // decoded, then from the cache
        const UniqueGpImage detached = NewDetachedBitmapFromFile(path);
        ASSERT_TRUE(detached);
        Gdiplus::REAL dpiX = 0, dpiY = 0;
        GdipGetImageHorizontalResolution(detached.Get(), &dpiX);
        GdipGetImageVerticalResolution(detached.Get(), &dpiY);
        EXPECT_NEAR(dpiX, 144.0f, 0.5f);
        EXPECT_NEAR(dpiY, 72.0f, 0.5f);
    }
}

}  // namespace
}  // namespace korimbo
