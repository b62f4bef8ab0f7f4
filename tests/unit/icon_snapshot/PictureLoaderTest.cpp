// Reading wallpapers: the seven kinds by extension, extension-less files by
// content, and clear refusals for what cannot or must not be decoded.
#include <gtest/gtest.h>

#include <cstring>

#include "icon/PictureHeader.h"
#include "icon/PictureLoader.h"
#include "icon/PictureScaling.h"
#include "icon/WallpaperSource.h"
#include "platform/Failure.h"
#include "support/PictureFiles.h"
#include "support/TestFolders.h"

namespace korimbo {
namespace {

constexpr uint32_t kTeal = 0xFF208080;  // a colour JPEG keeps nearly exactly

TEST(PictureName, ChoosesTheReaderByExtensionWithoutRegardToCase) {
    const struct {
        const wchar_t* path;
        bool readable;
    } cases[] = {
        {L"C:\\w\\a.bmp", true},
        {L"C:\\w\\a.ICO", true},
        {L"C:\\w\\a.Emf", true},
        {L"C:\\w\\a.wmf", true},
        {L"C:\\w\\a.JPG", true},
        {L"C:\\w\\a.jpeg", true},
        {L"C:\\w\\a.PnG", true},
        {L"C:\\w\\a.gif", false},
        {L"C:\\w\\a.tif", false},
        {L"C:\\w\\a.png.txt", false},
        {L"C:\\w\\a.jpe", false},
        // No extension: read by content (Windows' TranscodedWallpaper).
        {L"C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Windows\\Themes\\TranscodedWallpaper", true},
        {L"C:\\dotted.folder\\wall", true},
        {L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(HasReadablePictureName(c.path), c.readable) << test::WideToUtf8(c.path);
}

// A 16 x 16 icon of one colour, 32 bits per pixel, written by hand (GDI+ has
// no icon encoder).
std::vector<uint8_t> SolidIcon(uint32_t argb) {
    std::vector<uint8_t> file;
    const auto put8 = [&](uint32_t v) { file.push_back(static_cast<uint8_t>(v)); };
    const auto put16 = [&](uint32_t v) { put8(v), put8(v >> 8); };
    const auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
    const uint32_t imageBytes = 40 + 16 * 16 * 4 + 16 * 4;
    put16(0), put16(1), put16(1);  // icon directory, one image
    put8(16), put8(16), put8(0), put8(0), put16(1), put16(32), put32(imageBytes), put32(22);
    put32(40), put32(16), put32(32), put16(1), put16(32);  // the mask doubles the height
    for (int i = 0; i < 6; ++i) put32(0);
    for (int i = 0; i < 16 * 16; ++i) put32(argb);
    for (int i = 0; i < 16; ++i) put32(0);  // AND mask: all shown
    return file;
}

// An enhanced metafile filled with one colour.
void WriteSolidEmf(const std::wstring& path, COLORREF colour) {
    const RECT frame{0, 0, 2000, 1000};  // 0.01 mm units
    HDC dc = ::CreateEnhMetaFileW(nullptr, path.c_str(), &frame, nullptr);
    HBRUSH brush = ::CreateSolidBrush(colour);
    const RECT area{0, 0, 400, 200};
    ::FillRect(dc, &area, brush);
    ::DeleteObject(brush);
    ::DeleteEnhMetaFile(::CloseEnhMetaFile(dc));
}

// A placeable Windows metafile (the kind GDI+ reads) filled with one colour.
void WriteSolidWmf(const std::wstring& path, COLORREF colour) {
    HDC dc = ::CreateMetaFileW(nullptr);
    ::SetWindowExtEx(dc, 400, 200, nullptr);
    HBRUSH brush = ::CreateSolidBrush(colour);
    const RECT area{0, 0, 400, 200};
    ::FillRect(dc, &area, brush);
    ::DeleteObject(brush);
    HMETAFILE metafile = ::CloseMetaFile(dc);
    std::vector<uint8_t> bits(::GetMetaFileBitsEx(metafile, 0, nullptr));
    ::GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data());
    ::DeleteMetaFile(metafile);

    const uint16_t header[10] = {0xCDD7, 0x9AC6, 0, 0, 0, 400, 200, 96, 0, 0};
    uint16_t words[11];
    std::memcpy(words, header, sizeof header);
    words[10] = 0;
    for (int i = 0; i < 10; ++i) words[10] ^= words[i];
    std::vector<uint8_t> file(22 + bits.size());
    std::memcpy(file.data(), words, 22);
    std::memcpy(file.data() + 22, bits.data(), bits.size());
    test::WriteWholeFile(path, file);
}

class PictureLoading : public ::testing::Test {
protected:
    // Loads, checks the size, scales to a few pixels and checks the colour.
    void ExpectSolidPicture(const std::wstring& path, PixelSize size, uint32_t argb, int tolerance) {
        SCOPED_TRACE(test::WideToUtf8(path));
        const UniqueGpImage picture = LoadPicture(path);
        ASSERT_TRUE(picture);
        EXPECT_EQ(PictureSize(picture.Get()), size);
        const PixelBitmap scaled = ScalePicture(picture.Get(), {8, 4});
        ASSERT_EQ(scaled.Width, 8u);
        ASSERT_EQ(scaled.Height, 4u);
        // The middle pixel: metafile edges may be antialiased.
        const uint8_t* p = &scaled.Rows[2 * scaled.Stride + 4 * 3];
        EXPECT_NEAR(p[0], test::Blue(argb), tolerance);
        EXPECT_NEAR(p[1], test::Green(argb), tolerance);
        EXPECT_NEAR(p[2], test::Red(argb), tolerance);
    }

    test::TempFolder folder_;
};

TEST_F(PictureLoading, ReadsEveryKnownKind) {
    const test::ArgbPicture teal = test::FilledPicture(64, 36, kTeal);
    for (const wchar_t* name : {L"a.bmp", L"a.BMP"}) {
        ASSERT_TRUE(test::SavePicture(teal, folder_.File(name), L"image/bmp"));
        ExpectSolidPicture(folder_.File(name), {64, 36}, kTeal, 0);
    }
    for (const wchar_t* name : {L"b.png", L"b.Png"}) {
        ASSERT_TRUE(test::SavePicture(teal, folder_.File(name), L"image/png"));
        ExpectSolidPicture(folder_.File(name), {64, 36}, kTeal, 0);
    }
    for (const wchar_t* name : {L"c.jpg", L"c.JPEG"}) {
        ASSERT_TRUE(test::SavePicture(teal, folder_.File(name), L"image/jpeg"));
        ExpectSolidPicture(folder_.File(name), {64, 36}, kTeal, 4);
    }
    test::WriteWholeFile(folder_.File(L"d.ico"), SolidIcon(kTeal));
    ExpectSolidPicture(folder_.File(L"d.ico"), {16, 16}, kTeal, 0);

    WriteSolidEmf(folder_.File(L"e.emf"), RGB(0x20, 0x80, 0x80));
    {
        const UniqueGpImage emf = LoadPicture(folder_.File(L"e.emf"));
        const PixelSize size = PictureSize(emf.Get());
        EXPECT_GT(size.Width, size.Height) << "a wide frame";
    }
    ExpectSolidPicture(folder_.File(L"e.emf"), PictureSize(LoadPicture(folder_.File(L"e.emf")).Get()), kTeal, 8);
    WriteSolidWmf(folder_.File(L"f.wmf"), RGB(0x20, 0x80, 0x80));
    ExpectSolidPicture(folder_.File(L"f.wmf"), PictureSize(LoadPicture(folder_.File(L"f.wmf")).Get()), kTeal, 8);
}

TEST_F(PictureLoading, ReadsAnExtensionlessFileByItsContent) {
    const test::ArgbPicture teal = test::FilledPicture(80, 45, kTeal);
    ASSERT_TRUE(test::SavePicture(teal, folder_.File(L"TranscodedWallpaper"), L"image/jpeg"));
    ExpectSolidPicture(folder_.File(L"TranscodedWallpaper"), {80, 45}, kTeal, 4);
    ASSERT_TRUE(test::SavePicture(teal, folder_.File(L"png-inside"), L"image/png"));
    ExpectSolidPicture(folder_.File(L"png-inside"), {80, 45}, kTeal, 0);
}

TEST_F(PictureLoading, ReadsNonAsciiPaths) {
    const std::wstring path = folder_.File(test::Utf8ToWide("\xe5\xa3\x81\xe7\xba\xb8 Ærø.png"));
    ASSERT_TRUE(test::SavePicture(test::FilledPicture(20, 10, kTeal), path, L"image/png"));
    ExpectSolidPicture(path, {20, 10}, kTeal, 0);
}

TEST_F(PictureLoading, ReadsPathsLongerThanMaxPath) {
    // Folders past MAX_PATH exist only in the extended form.
    std::wstring folder = L"\\\\?\\" + folder_.Path();
    std::vector<std::wstring> created;
    for (int i = 0; i < 5; ++i) {
        folder += std::wstring(60, static_cast<wchar_t>(L'k' + i)) + L"\\";
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
        created.push_back(folder);
    }
    const std::wstring extended = folder + L"wall.png";
    ASSERT_TRUE(test::SavePicture(test::FilledPicture(30, 20, kTeal), extended, L"image/png"));
    const std::wstring path = extended.substr(4);
    ASSERT_GT(path.size(), static_cast<size_t>(MAX_PATH));
    ExpectSolidPicture(path, {30, 20}, kTeal, 0);
    EXPECT_EQ(GetFileSizeLow(path), test::ReadWholeFile(extended).size());
    ::DeleteFileW(extended.c_str());
    for (auto it = created.rbegin(); it != created.rend(); ++it) ::RemoveDirectoryW(it->c_str());
}

// A PNG whose header declares a size, followed by nothing decodable.
std::vector<uint8_t> PngHeaderOnly(uint32_t width, uint32_t height) {
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
                                 0,    0,   0,   0,   0,    0,    0,    8,    2, 0, 0, 0,  0,   0,   0,   0};
    for (int i = 0; i < 4; ++i) {
        file[static_cast<size_t>(16 + i)] = static_cast<uint8_t>(width >> (24 - 8 * i));
        file[static_cast<size_t>(20 + i)] = static_cast<uint8_t>(height >> (24 - 8 * i));
    }
    return file;
}

std::vector<uint8_t> JpegHeaderOnly(uint16_t width, uint16_t height) {
    return {0xFF,
            0xD8,
            0xFF,
            0xE0,
            0,
            4,
            0,
            0,  // an APP0 segment to walk over
            0xFF,
            0xC0,
            0,
            11,
            8,
            static_cast<uint8_t>(height >> 8),
            static_cast<uint8_t>(height),
            static_cast<uint8_t>(width >> 8),
            static_cast<uint8_t>(width),
            1,
            1,
            0x11,
            0};
}

std::vector<uint8_t> BmpHeaderOnly(int32_t width, int32_t height) {
    std::vector<uint8_t> file(54, 0);
    file[0] = 'B', file[1] = 'M', file[14] = 40;
    std::memcpy(&file[18], &width, 4);
    std::memcpy(&file[22], &height, 4);
    file[26] = 1, file[28] = 24;
    return file;
}

TEST_F(PictureLoading, ReadsSizesFromHeadersWithoutDecoding) {
    const test::ArgbPicture picture = test::FilledPicture(123, 45, kTeal);
    for (const auto& [name, mime] : {std::pair{L"h.png", L"image/png"}, std::pair{L"h.jpg", L"image/jpeg"},
                                     std::pair{L"h.bmp", L"image/bmp"}, std::pair{L"h.gif", L"image/gif"}}) {
        ASSERT_TRUE(test::SavePicture(picture, folder_.File(name), mime));
        const auto size = ReadHeaderSize(folder_.File(name));
        ASSERT_TRUE(size.has_value()) << test::WideToUtf8(name);
        EXPECT_EQ(size->Width, 123u);
        EXPECT_EQ(size->Height, 45u);
    }
    const struct {
        const wchar_t* name;
        std::vector<uint8_t> bytes;
        uint64_t width, height;
    } declared[] = {
        {L"8k.png", PngHeaderOnly(7680, 4320), 7680, 4320},
        {L"8k.jpg", JpegHeaderOnly(7680, 4320), 7680, 4320},
        {L"top-down.bmp", BmpHeaderOnly(300, -200), 300, 200},
    };
    for (const auto& d : declared) {
        test::WriteWholeFile(folder_.File(d.name), d.bytes);
        const auto size = ReadHeaderSize(folder_.File(d.name));
        ASSERT_TRUE(size.has_value()) << test::WideToUtf8(d.name);
        EXPECT_EQ(size->Width, d.width);
        EXPECT_EQ(size->Height, d.height);
    }
    test::WriteWholeFile(folder_.File(L"text"), std::string("not a picture at all"));
    EXPECT_FALSE(ReadHeaderSize(folder_.File(L"text")).has_value());
}

TEST_F(PictureLoading, RefusesWhatCannotOrMustNotBeDecoded) {
    ASSERT_TRUE(test::SavePicture(test::FilledPicture(8, 8, kTeal), folder_.File(L"real.gif"), L"image/gif"));
    test::WriteWholeFile(folder_.File(L"noise.png"), std::string(3000, '\x5A'));
    test::WriteWholeFile(folder_.File(L"noise.jpg"), std::string("\xFF\xD8\xFF\xE0 broken"));
    test::WriteWholeFile(folder_.File(L"empty.bmp"), std::string());
    test::WriteWholeFile(folder_.File(L"huge.png"), PngHeaderOnly(20000, 20000));
    test::WriteWholeFile(folder_.File(L"huge.jpg"), JpegHeaderOnly(65000, 65000));
    test::WriteWholeFile(folder_.File(L"huge.bmp"), BmpHeaderOnly(100000, -100000));
    test::WriteWholeFile(folder_.File(L"huge-no-extension"), PngHeaderOnly(0x7FFFFFFF, 0x7FFFFFFF));
    test::WriteWholeFile(folder_.File(L"zero.bmp"), BmpHeaderOnly(0, 0));
    test::WriteWholeFile(folder_.File(L"zero.png"), PngHeaderOnly(640, 0));

    const struct {
        std::wstring path;
        const char* because;  // part of the failure's text
    } cases[] = {
        {L"", "without a file name"},
        {folder_.File(L"missing.jpg"), "Cannot open"},
        {folder_.File(L"real.gif"), "no reader"},
        {folder_.File(L"noise.png"), "damaged"},
        {folder_.File(L"noise.jpg"), "damaged"},
        {folder_.File(L"empty.bmp"), "damaged"},
        {folder_.File(L"huge.png"), "20000 x 20000 pixels is more than the 64 megapixels"},
        {folder_.File(L"huge.jpg"), "64 megapixels"},
        {folder_.File(L"huge.bmp"), "64 megapixels"},
        {folder_.File(L"huge-no-extension"), "64 megapixels"},
        {folder_.File(L"zero.bmp"), "no pixels"},
        {folder_.File(L"zero.png"), "no pixels"},
        {folder_.Path(), "Cannot open"},  // a folder
    };
    for (const auto& c : cases) {
        try {
            LoadPicture(c.path);
            ADD_FAILURE() << test::WideToUtf8(c.path) << " was loaded";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.because), std::string::npos)
                << test::WideToUtf8(c.path) << ": " << failure.what();
        }
    }
}

}  // namespace
}  // namespace korimbo
