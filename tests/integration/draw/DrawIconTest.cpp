// Korimbo.dll drawing its icon in the dock host emulator: the band geometry
// read off the pixels of solid-colour pictures, the fallbacks, the other
// modes, sizes of zero and less, the failure path, and icon files that stay
// free to edit while the host shows them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "DockHost.h"
#include "HostGdiplus.h"
#include "HostText.h"
#include "MessageBoxAnswerer.h"
#include "ScriptRunner.h"
#include "support/SolidPicture.h"
#include "support/TestFolders.h"

namespace korimbo::test {
namespace {

using dockhost::DockHost;

constexpr uint32_t kBlue = 0xFF0000FF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kYellow = 0xFFFFFF00;
const std::vector<PaletteEntry> kPalette = {{'B', kBlue}, {'R', kRed}, {'G', kGreen}, {'Y', kYellow}};
constexpr char kFailureText[] =
    "Korimbo: Error on Draw-Icon. Some settings will be reset to prevent further damage.";

// A picture whose every pixel differs, with alpha, written as PNG.
std::vector<uint32_t> PatternPixels(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<uint32_t>(((40 + 7 * y) & 0xFF) << 24 | (x * 9 & 0xFF) << 16 |
                                                   (y * 13 & 0xFF) << 8 | ((x + y) * 5 & 0xFF)));
    return pixels;
}

bool WritePatternPng(const std::wstring& path, int width, int height) {
    std::vector<uint32_t> pixels = PatternPixels(width, height);
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                                       reinterpret_cast<BYTE*>(pixels.data()),
                                                       &bitmap) != Gdiplus::Ok)
        return false;
    const bool saved = dockhost::SaveImageAsPng(bitmap, path);
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return saved;
}

class DrawIconTest : public testing::Test {
protected:
    DrawIconTest() {
        StagePluginInto(base_.Path());
        // Solid pictures in place of the shipped ones, at the shipped sizes.
        EXPECT_TRUE(WriteSolidPng(Asset(L"default.png"), 256, 256, kYellow));
        EXPECT_TRUE(WriteSolidPng(Asset(L"taskbar.png"), 500, 40, kRed));
        EXPECT_TRUE(WriteSolidPng(Asset(L"dock.png"), 500, 80, kGreen));
    }

    std::wstring Asset(const std::wstring& name) const { return base_.Path() + L"Korimbo\\" + name; }

    // Loads the plug-in and creates docklet 1 with the given stored settings.
    // The snapshot is put in place (or removed) after creation, which may
    // have made one from the prefix's wallpaper.
    void Start(const std::vector<std::pair<std::string, std::wstring>>& settings, bool withSnapshot = true) {
        for (const auto& [key, value] : settings) {
            host_.Settings().Set(1, key, value);
        }
        host_.Load();
        // Its answer depends on the prefix's wallpaper, which the creation
        // tries to make a snapshot of; the docklet exists either way.
        host_.Create(1);
        ASSERT_NE(host_.DockletData(1), nullptr);
        ::DeleteFileW(Asset(L"wallpaper.png").c_str());
        if (withSnapshot) {
            ASSERT_TRUE(WriteSolidPng(Asset(L"wallpaper.png"), 500, 281, kBlue));
        }
    }

    std::wstring Stored(const char* key) { return host_.Settings().Get(1, key).value_or(L"(none)"); }

    TempFolder base_;
    DockHost host_{{base_.Path() + L"Korimbo\\Korimbo.dll", L"", L"", 48, 48, {}}};
};

std::string KindsAt(const DockHost::DrawResult& drawn, int column) {
    return ColumnKinds(drawn.Pixels(), drawn.Width(), column, kPalette);
}

TEST(DrawIconScreen, IsTheOneTheExpectationsAreFor) {
    ASSERT_EQ(::GetSystemMetrics(SM_CXVIRTUALSCREEN), 1920);
    ASSERT_EQ(::GetSystemMetrics(SM_CYVIRTUALSCREEN), 1080);
}

struct BandCase {
    int width;
    int height;
    bool overlays;
    std::vector<RowSpan> spans;  // on a 1920 x 1080 desktop
};

class BandGeometryTest : public DrawIconTest, public testing::WithParamInterface<BandCase> {};

TEST_P(BandGeometryTest, SnapshotAndOverlaysLandOnTheirRows) {
    const BandCase& c = GetParam();
    Start({{"IconMode", L"1"}, {"DummyOverlay", c.overlays ? L"1" : L"0"}});
    const auto drawn = host_.Draw(1, c.width, c.height);
    ASSERT_TRUE(drawn.answer);
    ASSERT_EQ(drawn.Width(), c.width);
    ASSERT_EQ(drawn.Height(), c.height);
    const std::string expected = ExpectedKinds(c.height, c.spans);
    for (int column : {0, c.width / 2, c.width - 1})
        EXPECT_EQ(KindsAt(drawn, column), expected) << "column " << column;
}

INSTANTIATE_TEST_SUITE_P(Sizes, BandGeometryTest,
                         testing::Values(
                             // band 72 at 28, taskbar 10 at 28, dock 20 at 80
                             BandCase{128, 128, true, {{'B', 28, 72}, {'R', 28, 10}, {'G', 80, 20}}},
                             BandCase{128, 128, false, {{'B', 28, 72}}},
                             // 10.5 rounds to 10: band 27 at 10, taskbar 4 at 10, dock 8 at 29
                             BandCase{48, 48, true, {{'B', 10, 27}, {'R', 10, 4}, {'G', 29, 8}}},
                             BandCase{256, 256, true, {{'B', 56, 144}, {'R', 56, 20}, {'G', 159, 41}}},
                             BandCase{32, 32, true, {{'B', 7, 18}, {'R', 7, 3}, {'G', 20, 5}}},
                             // 4.5 rounds to 4: band 4 at 2, taskbar and dock one row each
                             BandCase{8, 8, true, {{'B', 2, 4}, {'R', 2, 1}, {'G', 5, 1}}},
                             // the offset comes from the width: the band starts at 44 and is cut
                             // off by the bottom edge at 50, inside the taskbar
                             BandCase{200, 50, true, {{'B', 44, 112}, {'R', 44, 16}, {'G', 124, 32}}}));

// The miniature desktop composed in the test with GDI+ straight from the
// files: what the drawing must look like, whatever it keeps between calls.
std::vector<uint32_t> ComposedFromFiles(const std::wstring& folder, int size) {
    using namespace Gdiplus::DllExports;
    // 1920 x 1080 at 128 px: band 72 at 28, taskbar 10, dock 20 at 80.
    EXPECT_EQ(size, 128);
    Gdiplus::GpBitmap* canvas = nullptr;
    GdipCreateBitmapFromScan0(size, size, 4 * size, PixelFormat32bppARGB, nullptr, &canvas);
    Gdiplus::GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(canvas, &graphics);
    GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQuality);
    Gdiplus::GpImage* snapshot = nullptr;
    GdipLoadImageFromFile((folder + L"wallpaper.png").c_str(), &snapshot);
    GdipDrawImageRect(graphics, snapshot, 0, 28, 128, 72);
    Gdiplus::GpBitmap* taskbar = nullptr;
    Gdiplus::GpBitmap* dock = nullptr;
    GdipCreateBitmapFromFile((folder + L"taskbar.png").c_str(), &taskbar);
    GdipCreateBitmapFromFile((folder + L"dock.png").c_str(), &dock);
    GdipDrawImageRect(graphics, taskbar, 0, 28, 128, 10);
    GdipDrawImageRect(graphics, dock, 0, 80, 128, 20);
    for (Gdiplus::GpImage* image :
         {snapshot, static_cast<Gdiplus::GpImage*>(taskbar), static_cast<Gdiplus::GpImage*>(dock)})
        GdipDisposeImage(image);
    GdipDeleteGraphics(graphics);
    std::vector<uint32_t> pixels = dockhost::ReadArgbPixels(canvas);
    GdipDisposeImage(canvas);
    return pixels;
}

TEST_F(DrawIconTest, RepeatedDrawingsEqualComposingFromTheFiles) {
    Start({{"IconMode", L"1"}});
    // The shipped overlays, with their soft edges, over a picture with alpha.
    for (const wchar_t* name : {L"taskbar.png", L"dock.png"})
        ASSERT_TRUE(::CopyFileW((StagedPluginFolder() + name).c_str(), Asset(name).c_str(), FALSE));
    ASSERT_TRUE(WritePatternPng(Asset(L"wallpaper.png"), 160, 90));
    const std::vector<uint32_t> expected = ComposedFromFiles(Asset(L""), 128);
    for (int drawing = 1; drawing <= 3; ++drawing)
        EXPECT_EQ(host_.Draw(1, 128, 128).Pixels(), expected) << "drawing " << drawing;
}

// A solid 500 x 281 PNG padded after its end to 4096 bytes, so that pictures
// of different colours make files of the same size.
void WritePaddedSolidPng(const std::wstring& path, uint32_t argb) {
    ASSERT_TRUE(WriteSolidPng(path, 500, 281, argb));
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    ASSERT_LE(bytes.size(), 4096u);
    bytes.resize(4096);
    WriteWholeFile(path, bytes);
}

// A replacement written over the file with the same size and the same time
// stamps as the old one.
void ReplaceKeepingStamps(const std::wstring& path, uint32_t argb) {
    WIN32_FILE_ATTRIBUTE_DATA before{};
    ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &before));
    WritePaddedSolidPng(path, argb);
    HANDLE file =
        ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, &before.ftCreationTime, &before.ftLastAccessTime, &before.ftLastWriteTime);
    ::CloseHandle(file);
    WIN32_FILE_ATTRIBUTE_DATA after{};
    ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(after.nFileSizeLow, before.nFileSizeLow);
    EXPECT_EQ(::CompareFileTime(&after.ftLastWriteTime, &before.ftLastWriteTime), 0);
}

TEST_F(DrawIconTest, ChangedReplacedOrRemovedSnapshotIsNoticedAtOnce) {
    Start({{"IconMode", L"1"}, {"DummyOverlay", L"0"}});
    WritePaddedSolidPng(Asset(L"wallpaper.png"), kBlue);
    EXPECT_EQ(KindsAt(host_.Draw(1, 128, 128), 64), ExpectedKinds(128, {{'B', 28, 72}}));

    ReplaceKeepingStamps(Asset(L"wallpaper.png"), kGreen);
    EXPECT_EQ(KindsAt(host_.Draw(1, 128, 128), 64), ExpectedKinds(128, {{'G', 28, 72}}));

    ASSERT_TRUE(::DeleteFileW(Asset(L"wallpaper.png").c_str()));
    EXPECT_EQ(KindsAt(host_.Draw(1, 128, 128), 64), ExpectedKinds(128, {{'Y', 28, 72}}));

    ASSERT_TRUE(WriteSolidPng(Asset(L"wallpaper.png"), 500, 281, kRed));
    EXPECT_EQ(KindsAt(host_.Draw(1, 128, 128), 64), ExpectedKinds(128, {{'R', 28, 72}}));

    // A snapshot that no longer decodes is not drawn.
    WriteWholeFile(Asset(L"wallpaper.png"), std::string("\x89PNG\r\n\x1a\ncut short"));
    EXPECT_EQ(KindsAt(host_.Draw(1, 128, 128), 64), std::string(128, '.'));
}

TEST_F(DrawIconTest, ReplacedCustomIconIsShownAtTheNextDrawing) {
    const std::wstring icon = base_.File(L"mine.png");
    WritePaddedSolidPng(icon, kBlue);
    Start({{"IconMode", L"0"}, {"Iconsource", icon}});
    EXPECT_EQ(KindsAt(host_.Draw(1, 48, 48), 0), std::string(281, 'B'));
    ReplaceKeepingStamps(icon, kRed);
    EXPECT_EQ(KindsAt(host_.Draw(1, 48, 48), 0), std::string(281, 'R'));
}

// Hosts run with reduced precision, other rounding modes or unmasked
// exceptions; the band lands on the same rows under every one of them.
class HostControlWordTest : public DrawIconTest, public testing::WithParamInterface<uint16_t> {};

TEST_P(HostControlWordTest, BandIsTheSameWhateverTheHostsFpuWord) {
    Start({{"IconMode", L"1"}});
    host_.SetHostFpuControlWord(GetParam());
    const auto drawn = host_.Draw(1, 48, 48);
    ASSERT_TRUE(drawn.answer);
    EXPECT_EQ(KindsAt(drawn, 24), ExpectedKinds(48, {{'B', 10, 27}, {'R', 10, 4}, {'G', 29, 8}}));
    EXPECT_EQ(host_.FpuViolations(), 0);
}

// 53-bit, 24-bit with rounding toward zero, 24-bit rounding up with
// zero-divide and overflow unmasked.
INSTANTIATE_TEST_SUITE_P(Words, HostControlWordTest, testing::Values(0x027F, 0x0C7F, 0x0833));

TEST_F(DrawIconTest, WithoutSnapshotTheDefaultIconFillsTheBand) {
    Start({{"IconMode", L"1"}, {"DummyOverlay", L"0"}}, /*withSnapshot=*/false);
    const auto drawn = host_.Draw(1, 128, 128);
    ASSERT_TRUE(drawn.answer);
    EXPECT_EQ(KindsAt(drawn, 64), ExpectedKinds(128, {{'Y', 28, 72}}));
}

TEST_F(DrawIconTest, MissingOverlayIsSimplyNotDrawn) {
    Start({{"IconMode", L"1"}});
    ASSERT_TRUE(::DeleteFileW(Asset(L"dock.png").c_str()));
    const auto drawn = host_.Draw(1, 128, 128);
    ASSERT_TRUE(drawn.answer);
    EXPECT_EQ(KindsAt(drawn, 64), ExpectedKinds(128, {{'B', 28, 72}, {'R', 28, 10}}));
}

TEST_F(DrawIconTest, CustomIconComesBackPixelForPixel) {
    const std::wstring icon = base_.File(L"mine.png");
    ASSERT_TRUE(WritePatternPng(icon, 37, 23));
    Start({{"IconMode", L"0"}, {"Iconsource", icon}});
    // The icon rectangle plays no part in mode 0.
    const auto drawn = host_.Draw(1, 48, 48);
    ASSERT_TRUE(drawn.answer);
    ASSERT_EQ(drawn.Width(), 37);
    ASSERT_EQ(drawn.Height(), 23);
    EXPECT_EQ(drawn.Pixels(), PatternPixels(37, 23));
}

TEST_F(DrawIconTest, CustomIconStaysFreeToReplaceAndDeleteWhileShown) {
    const std::wstring icon = base_.File(L"mine.png");
    ASSERT_TRUE(WritePatternPng(icon, 16, 16));
    Start({{"IconMode", L"0"}, {"Iconsource", icon}});
    const auto shown = host_.Draw(1, 48, 48);
    ASSERT_TRUE(shown.answer);

    // The user saves a new version over it, then deletes it, while the host
    // still holds the bitmap.
    const std::vector<uint8_t> edited = ReadWholeFile(base_.File(L"Korimbo\\default.png"));
    HANDLE file = ::CreateFileW(icon.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "still locked, error " << ::GetLastError();
    DWORD written = 0;
    ::WriteFile(file, edited.data(), static_cast<DWORD>(edited.size()), &written, nullptr);
    ::CloseHandle(file);
    EXPECT_EQ(shown.Pixels(), PatternPixels(16, 16));

    const auto redrawn = host_.Draw(1, 48, 48);
    EXPECT_EQ(KindsAt(redrawn, 5), std::string(256, 'Y'));
    EXPECT_TRUE(::DeleteFileW(icon.c_str())) << "error " << ::GetLastError();
}

TEST_F(DrawIconTest, MissingCustomIconFallsBackToTheDefaultInMemoryOnly) {
    const std::wstring icon = base_.File(L"gone.png");
    Start({{"IconMode", L"0"}, {"Iconsource", icon}});
    const auto drawn = host_.Draw(1, 48, 48);
    ASSERT_TRUE(drawn.answer);
    EXPECT_EQ(drawn.Width(), 256);
    EXPECT_EQ(KindsAt(drawn, 32), std::string(256, 'Y'));
    EXPECT_EQ(Stored("Iconsource"), icon);  // not saved

    // The record now names the default icon: the file coming back changes nothing.
    ASSERT_TRUE(WritePatternPng(icon, 16, 16));
    EXPECT_EQ(host_.Draw(1, 48, 48).Width(), 256);
}

TEST_F(DrawIconTest, FallbackReachesTheHostsStoreWithTheNextSave) {
    const std::wstring icon = base_.File(L"gone.png");
    Start({{"IconMode", L"0"}, {"Iconsource", icon}});
    host_.Draw(1, 48, 48);
    EXPECT_EQ(Stored("Iconsource"), icon);
    // A new wallpaper: the snapshot refresh saves the whole record.
    const std::wstring wallpaper = base_.File(L"new wallpaper.png");
    ASSERT_TRUE(WriteSolidPng(wallpaper, 64, 36, kGreen));
    ASSERT_TRUE(dockhost::SetWallpaperValue(wallpaper));
    host_.FireTimer(1, "Korimbo_refresh");
    dockhost::SetWallpaperValue(L"");
    EXPECT_EQ(Stored("LastWallpaper"), wallpaper);
    EXPECT_EQ(Stored("Iconsource"), Asset(L"default.png"));
}

TEST_F(DrawIconTest, FolderInPlaceOfTheCustomIconCountsAsMissing) {
    const std::wstring folder = base_.File(L"icon.png");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    Start({{"IconMode", L"0"}, {"Iconsource", folder}});
    EXPECT_EQ(host_.Draw(1, 48, 48).Width(), 256);
}

TEST_F(DrawIconTest, CustomIconOnAPathOutsideTheCodePageIsFound) {
    const std::wstring icon = base_.File(Utf8ToWide("\xE6\x97\xA5\xE6\x9C\xAC \xCE\xB1\xCE\xB2 \xD0\xB4.png"));
    ASSERT_TRUE(WritePatternPng(icon, 20, 10));
    Start({{"IconMode", L"0"}, {"Iconsource", icon}});
    const auto drawn = host_.Draw(1, 48, 48);
    EXPECT_EQ(drawn.Width(), 20);
    EXPECT_EQ(drawn.Pixels(), PatternPixels(20, 10));
}

TEST_F(DrawIconTest, DamagedCustomIconGivesNoBitmapAndKeepsTheSettings) {
    const std::wstring icon = base_.File(L"damaged.png");
    WriteWholeFile(icon, std::string("\x89PNG\r\n\x1a\nthis is not a picture"));
    Start({{"IconMode", L"0"}, {"Iconsource", icon}});
    const auto drawn = host_.Draw(1, 48, 48);
    EXPECT_TRUE(drawn.answer);
    EXPECT_EQ(drawn.bitmap, nullptr);
    EXPECT_EQ(host_.Draw(1, 48, 48).bitmap, nullptr);  // still the same file, no reset
}

TEST_F(DrawIconTest, OtherModesLeaveTheHandleAloneAndSetTheLabel) {
    for (const wchar_t* mode : {L"2", L"-1"}) {
        SCOPED_TRACE(testing::Message() << "mode " << dockhost::WideToUtf8(mode));
        host_.Settings().Set(1, "Caption", std::wstring(L"Mode ") + mode);
        Start({{"IconMode", mode}});
        const auto drawn = host_.Draw(1, 48, 48);
        EXPECT_TRUE(drawn.answer);
        EXPECT_EQ(drawn.bitmap, nullptr);
        EXPECT_EQ(host_.Label(1), "Mode " + dockhost::WideToUtf8(mode));
        host_.Unload();
    }
}

TEST_F(DrawIconTest, LabelFollowsTheCaptionAtEveryDrawing) {
    Start({{"Caption", L"My desk"}});
    EXPECT_EQ(host_.Label(1), "Korimbo");
    host_.Draw(1, 48, 48);
    EXPECT_EQ(host_.Label(1), "My desk");
}

TEST_F(DrawIconTest, SizesOfZeroOrLessOrBeyondMemoryMakeNoBitmapAndAnswerTrue) {
    Start({{"IconMode", L"1"}});
    const std::vector<std::pair<int, int>> sizes = {{0, 0},   {0, 48},  {48, 0},
                                                    {-5, 48}, {48, -5}, {100000, 100000}};
    for (const auto& [width, height] : sizes) {
        const auto drawn = host_.Draw(1, width, height);
        EXPECT_TRUE(drawn.answer) << width << "x" << height;
        EXPECT_EQ(drawn.bitmap, nullptr) << width << "x" << height;
    }
    // The docklet draws normally afterwards.
    EXPECT_EQ(host_.Draw(1, 48, 48).Width(), 48);
}

TEST_F(DrawIconTest, FailureShowsTheMessageAndAnswersFalse) {
    dockhost::MessageBoxAnswerer answerer(host_.Log());
    Start({{"IconMode", L"1"}});
    // A host that has lost the docklet's record: the drawing cannot go on.
    host_.ForgetDockletData(1);
    host_.Log().Clear();
    const int redrawsBefore = host_.RedrawRequests(1);
    const auto drawn = host_.Draw(1, 48, 48);
    EXPECT_FALSE(drawn.answer);
    EXPECT_EQ(drawn.bitmap, nullptr);
    bool boxShown = false;
    for (const std::string& line : host_.Log().Lines()) {
        if (line.rfind("[box] MessageBox(", 0) == 0) {
            boxShown = true;
            EXPECT_NE(line.find(std::string("text=\"") + kFailureText + "\""), std::string::npos) << line;
            EXPECT_NE(line.find("icon=no"), std::string::npos) << line;
        }
        // Nothing to reset without a record.
        EXPECT_EQ(line.find("WriteSetting"), std::string::npos) << line;
    }
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(host_.RedrawRequests(1), redrawsBefore);
}

}  // namespace
}  // namespace korimbo::test
