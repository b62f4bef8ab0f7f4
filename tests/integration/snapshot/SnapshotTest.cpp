// The wallpaper snapshot through the real Korimbo.dll in the dock host
// emulator: the wallpaper value in the test prefix's registry, the snapshot
// PNG in the asset folder, the record fields the host stores, redraws.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "DockHost.h"
#include "ScriptRunner.h"
#include "support/PictureFiles.h"
#include "support/TestFolders.h"

namespace korimbo::test {
namespace {

using dockhost::DockHost;
using dockhost::DockHostOptions;

constexpr uint32_t kRust = 0xFFB04020;
constexpr uint32_t kTeal = 0xFF208080;

std::wstring CurrentWallpaperValue() {
    wchar_t buffer[2048] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr, buffer,
                       &bytes) != ERROR_SUCCESS)
        return {};
    return buffer;
}

uint32_t FileSize(const std::wstring& path) { return static_cast<uint32_t>(ReadWholeFile(path).size()); }

class SnapshotTest : public testing::Test {
protected:
    SnapshotTest() : savedWallpaper_(CurrentWallpaperValue()) {
        StagePluginInto(base_.Path());
        dockhost::SetWallpaperValue(L"");
    }
    ~SnapshotTest() override { dockhost::SetWallpaperValue(savedWallpaper_); }

    DockHostOptions Options() const {
        DockHostOptions options;
        options.pluginPath = base_.Path() + L"Korimbo\\Korimbo.dll";
        return options;
    }
    std::wstring SnapshotFile() const { return base_.Path() + L"Korimbo\\wallpaper.png"; }

    // A solid-colour wallpaper written with GDI+, made the current one.
    std::wstring SetWallpaper(const std::wstring& name, int width, int height, uint32_t argb,
                              const wchar_t* mimeType = L"image/png") {
        const std::wstring path = pictures_.File(name);
        EXPECT_TRUE(SavePicture(FilledPicture(width, height, argb), path, mimeType));
        EXPECT_TRUE(dockhost::SetWallpaperValue(path));
        return path;
    }

    // The record fields the host keeps for the docklet.
    void ExpectRemembered(DockHost& host, uint32_t id, const std::wstring& path, uint32_t size) {
        EXPECT_EQ(host.Settings().Get(id, "LastWallpaper").value_or(L"(none)"), path);
        EXPECT_EQ(host.Settings().Get(id, "LastWallpaperFilesize").value_or(L"(none)"), std::to_wstring(size));
    }

    // The snapshot's size, checked to be 8-bit RGB with the chunk layout
    // IHDR, IDAT..., IEND and the colour of the wallpaper.
    void ExpectSnapshot(uint32_t width, uint32_t height, uint32_t argb, int tolerance = 0) {
        const auto chunks = ReadPngChunks(ReadWholeFile(SnapshotFile()));
        ASSERT_GE(chunks.size(), 3u);
        EXPECT_EQ(chunks.front().Type, "IHDR");
        ASSERT_EQ(chunks.front().Data.size(), 13u);
        EXPECT_EQ(ReadBigEndian32(&chunks.front().Data[0]), width);
        EXPECT_EQ(ReadBigEndian32(&chunks.front().Data[4]), height);
        EXPECT_EQ(chunks.front().Data[8], 8) << "bit depth";
        EXPECT_EQ(chunks.front().Data[9], 2) << "RGB";
        EXPECT_EQ(chunks.front().Data[12], 0) << "interlaced";
        for (size_t i = 1; i + 1 < chunks.size(); ++i) {
            EXPECT_EQ(chunks[i].Type, "IDAT");
            EXPECT_LE(chunks[i].Data.size(), 65535u);
        }
        EXPECT_EQ(chunks.back().Type, "IEND");

        const ArgbPicture snapshot = DecodePicture(SnapshotFile());
        ASSERT_EQ(snapshot.Width, static_cast<int>(width));
        ASSERT_EQ(snapshot.Height, static_cast<int>(height));
        for (const uint32_t pixel : {snapshot.At(0, 0), snapshot.At(snapshot.Width - 1, snapshot.Height - 1),
                                     snapshot.At(snapshot.Width / 2, snapshot.Height / 2)}) {
            EXPECT_NEAR(Red(pixel), Red(argb), tolerance);
            EXPECT_NEAR(Green(pixel), Green(argb), tolerance);
            EXPECT_NEAR(Blue(pixel), Blue(argb), tolerance);
        }
    }

    TempFolder base_;
    TempFolder pictures_;
    std::wstring savedWallpaper_;
};

TEST_F(SnapshotTest, SnapshotKeepsTheWallpapersProportionsAt500Pixels) {
    const struct {
        int width, height;
        uint32_t snapshotWidth, snapshotHeight;
    } cases[] = {
        {1920, 1080, 500, 281}, {1080, 1920, 281, 500}, {800, 600, 500, 375}, {1000, 1000, 500, 500},
        {1000, 5, 500, 2},      {1000, 3, 500, 2},      {1000, 63, 500, 31},  {1000, 501, 500, 251},
        {250, 100, 500, 200},   {1000, 1, 500, 1},
    };
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    EXPECT_FALSE(FileExists(SnapshotFile())) << "no wallpaper, no snapshot";
    int redraws = host.RedrawRequests(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const std::wstring path =
            SetWallpaper(L"wall-" + std::to_wstring(c.width) + L"x" + std::to_wstring(c.height) + L".png", c.width,
                         c.height, kRust);
        ASSERT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
        ExpectSnapshot(c.snapshotWidth, c.snapshotHeight, kRust);
        ExpectRemembered(host, 1, path, FileSize(path));
        EXPECT_EQ(host.RedrawRequests(1), ++redraws);
    }
    EXPECT_FALSE(FileExists(SnapshotFile() + L".tmp"));
}

TEST_F(SnapshotTest, CreationMakesTheSnapshotFromEveryReadableKind) {
    const struct {
        const wchar_t* name;
        const wchar_t* mimeType;
        int tolerance;
    } cases[] = {
        {L"wall.JPG", L"image/jpeg", 4},
        {L"wall.jpeg", L"image/jpeg", 4},
        {L"wall.Bmp", L"image/bmp", 0},
        {L"wall.PNG", L"image/png", 0},
        {L"TranscodedWallpaper", L"image/jpeg", 4},  // no extension: read by content
    };
    uint32_t id = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        const std::wstring path = SetWallpaper(c.name, 1600, 1200, kTeal, c.mimeType);
        DockHost host(Options());
        host.Load();
        ASSERT_TRUE(host.Create(id));
        ExpectSnapshot(500, 375, kTeal, c.tolerance);
        ExpectRemembered(host, id, path, FileSize(path));
        EXPECT_EQ(host.RedrawRequests(id), 1);
        ::DeleteFileW(SnapshotFile().c_str());
        ++id;
    }
}

TEST_F(SnapshotTest, EightKWallpaperIsNotTooLarge) {
    const std::wstring path = SetWallpaper(L"8k.jpg", 7680, 4320, kTeal, L"image/jpeg");
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    ExpectSnapshot(500, 281, kTeal, 4);
    ExpectRemembered(host, 1, path, FileSize(path));
}

TEST_F(SnapshotTest, NonAsciiWallpaperPathWorks) {
    const std::wstring path =
        SetWallpaper(Utf8ToWide("\xe5\xa3\x81\xe7\xba\xb8 Обои \xf0\x9f\x8c\x84.png"), 1920, 1080, kTeal);
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    ExpectSnapshot(500, 281, kTeal);
    ExpectRemembered(host, 1, path, FileSize(path));
    // And it is recognised as unchanged afterwards.
    const int commits = host.Settings().Commits();
    EXPECT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
    EXPECT_EQ(host.RedrawRequests(1), 1);
    EXPECT_EQ(host.Settings().Commits(), commits);
}

TEST_F(SnapshotTest, UnchangedWallpaperAndOtherTimersDoNothing) {
    SetWallpaper(L"a.png", 1920, 1080, kRust);
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    ASSERT_TRUE(FileExists(SnapshotFile()));
    const int commits = host.Settings().Commits();

    // Deleted snapshot, same wallpaper: not remade.
    ::DeleteFileW(SnapshotFile().c_str());
    EXPECT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
    EXPECT_FALSE(FileExists(SnapshotFile()));
    EXPECT_EQ(host.RedrawRequests(1), 1);
    EXPECT_EQ(host.Settings().Commits(), commits);

    // A changed wallpaper is left alone by any other timer.
    SetWallpaper(L"b.png", 800, 600, kTeal);
    for (const char* name : {"Other", "korimbo_refresh", "Korimbo_refresh ", ""}) {
        EXPECT_TRUE(host.FireTimer(1, name)) << name;
        EXPECT_FALSE(FileExists(SnapshotFile())) << name;
    }
    EXPECT_EQ(host.RedrawRequests(1), 1);
    EXPECT_EQ(host.Settings().Commits(), commits);
}

TEST_F(SnapshotTest, ReplacedFileOfTheSameSizeIsNotNoticed) {
    const std::wstring path = SetWallpaper(L"same.bmp", 640, 480, kRust, L"image/bmp");
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    SetWallpaper(L"same.bmp", 640, 480, kTeal, L"image/bmp");  // same path, same size
    EXPECT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
    ExpectSnapshot(500, 375, kRust);
    EXPECT_EQ(host.RedrawRequests(1), 1);
}

TEST_F(SnapshotTest, FailedRefreshRemembersNothingAndKeepsTheOldSnapshot) {
    const std::wstring good = SetWallpaper(L"good.png", 1920, 1080, kRust);
    ASSERT_TRUE(SavePicture(FilledPicture(64, 64, kTeal), pictures_.File(L"real.gif"), L"image/gif"));
    WriteWholeFile(pictures_.File(L"damaged.jpg"), std::string("\xFF\xD8\xFF\xE0 this is not a JPEG"));
    // A PNG header declaring 20000 x 20000 pixels: 1.6 GB once decoded.
    WriteWholeFile(
        pictures_.File(L"absurd.png"),
        std::vector<uint8_t>{0x89, 'P',  'N',  'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
                             0,    0x4E, 0x20, 0,   0,    0x4E, 0x20, 8,    2, 0, 0, 0,  0,   0,   0,   0});
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    const std::vector<uint8_t> snapshot = ReadWholeFile(SnapshotFile());
    const int commits = host.Settings().Commits();

    const struct {
        const char* what;
        std::wstring wallpaper;
    } cases[] = {
        {"missing file", pictures_.File(L"missing.png")},
        {"unknown extension", pictures_.File(L"real.gif")},
        {"damaged data", pictures_.File(L"damaged.jpg")},
        {"absurd size", pictures_.File(L"absurd.png")},
        {"wallpaper removed", L""},
        {"a folder", pictures_.Path()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(dockhost::SetWallpaperValue(c.wallpaper));
        // Every trigger tries again, and fails again the same way.
        for (int trigger = 0; trigger < 2; ++trigger) {
            EXPECT_FALSE(host.FireTimer(1, "Korimbo_refresh")) << "the failure leaves the handler";
            EXPECT_EQ(ReadWholeFile(SnapshotFile()), snapshot);
            ExpectRemembered(host, 1, good, FileSize(good));
            EXPECT_EQ(host.RedrawRequests(1), 1);
            EXPECT_EQ(host.Settings().Commits(), commits);
            EXPECT_FALSE(FileExists(SnapshotFile() + L".tmp"));
        }
    }

    // A readable wallpaper again: the next trigger succeeds.
    const std::wstring next = SetWallpaper(L"next.jpg", 1000, 1000, kTeal, L"image/jpeg");
    EXPECT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
    ExpectSnapshot(500, 500, kTeal, 4);
    ExpectRemembered(host, 1, next, FileSize(next));
    EXPECT_EQ(host.RedrawRequests(1), 2);
}

TEST_F(SnapshotTest, SnapshotThatCannotBeWrittenRemembersNothing) {
    SetWallpaper(L"a.png", 1920, 1080, kRust);
    // A folder in the snapshot's place: the new snapshot cannot be moved there.
    ASSERT_TRUE(::CreateDirectoryW(SnapshotFile().c_str(), nullptr));
    DockHost host(Options());
    host.Load();
    // The docklet is made all the same; the refresh itself fails.
    EXPECT_TRUE(host.Create(1));
    EXPECT_FALSE(host.FireTimer(1, "Korimbo_refresh"));
    EXPECT_EQ(host.Settings().Get(1, "LastWallpaper").value_or(L""), L"");
    EXPECT_EQ(host.RedrawRequests(1), 0);
    EXPECT_FALSE(FileExists(SnapshotFile() + L".tmp"));
    ::RemoveDirectoryW(SnapshotFile().c_str());
}

TEST_F(SnapshotTest, NoWallpaperWithDefaultRecordDoesNothing) {
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    EXPECT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
    EXPECT_FALSE(FileExists(SnapshotFile()));
    EXPECT_EQ(host.RedrawRequests(1), 0);
}

TEST_F(SnapshotTest, EachDockletRemakesTheSharedSnapshotFromItsOwnRecord) {
    SetWallpaper(L"first.png", 1920, 1080, kRust);
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    ASSERT_TRUE(host.Create(2));
    EXPECT_EQ(host.RedrawRequests(1), 1);
    EXPECT_EQ(host.RedrawRequests(2), 1);

    const std::wstring second = SetWallpaper(L"second.png", 1080, 1920, kTeal);
    EXPECT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
    ExpectSnapshot(281, 500, kTeal);
    ExpectRemembered(host, 1, second, FileSize(second));
    EXPECT_NE(host.Settings().Get(2, "LastWallpaper").value_or(L""), second);
    EXPECT_TRUE(host.FireTimer(2, "Korimbo_refresh"));
    ExpectRemembered(host, 2, second, FileSize(second));
    EXPECT_EQ(host.RedrawRequests(1), 2);
    EXPECT_EQ(host.RedrawRequests(2), 2);
}

TEST_F(SnapshotTest, SnapshotCanBeMadeFromItself) {
    // The wallpaper set to the snapshot file: the picture must be released
    // before the new snapshot replaces the file it was read from.
    SetWallpaper(L"a.png", 1000, 400, kRust);
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    ASSERT_TRUE(dockhost::SetWallpaperValue(SnapshotFile()));
    EXPECT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
    ExpectSnapshot(500, 200, kRust);
    EXPECT_EQ(host.RedrawRequests(1), 2);
}

}  // namespace
}  // namespace korimbo::test
