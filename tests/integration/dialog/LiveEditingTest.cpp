// The dialog's live changes, OK and Cancel, through the real plug-in.
#include <gtest/gtest.h>

#include "DockHost.h"
#include "ScriptRunner.h"
#include "SettingsDialogFixture.h"

namespace korimbo::test {
namespace {

using LiveEditingTest = SettingsDialogFixture;

TEST_F(LiveEditingTest, OpensWithTheRecordAndCancelWithoutChangesSavesTheSameValues) {
    UsePlainDefaultIcon();
    const std::wstring custom = GreenPicture(L"custom.png");
    Store(1, "Iconsource", custom);
    Store(1, "Caption", L"Desk");
    Store(1, "IconMode", L"0");
    Store(1, "DummyOverlay", L"0");
    Store(1, "LastWallpaper", L"");
    Store(1, "LastWallpaperFilesize", L"0");
    LoadAndCreate({1});
    const std::map<std::string, std::wstring> before = {
        {"Iconsource", Stored(1, "Iconsource")},
        {"LastWallpaper", Stored(1, "LastWallpaper")},
        {"Caption", Stored(1, "Caption")},
        {"IconMode", Stored(1, "IconMode")},
        {"LastWallpaperFilesize", Stored(1, "LastWallpaperFilesize")},
        {"DummyOverlay", Stored(1, "DummyOverlay")}};
    const int redraws = host_->RedrawRequests(1);
    const int commits = host_->Settings().Commits();

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            EXPECT_EQ(TextOf(CaptionEdit()), L"Desk");
            EXPECT_TRUE(IsChecked(CustomIconItem()));
            EXPECT_FALSE(IsChecked(WallpaperItem()));
            EXPECT_FALSE(IsChecked(OverlayBox()));
            EXPECT_FALSE(::IsWindowEnabled(OverlayBox()));
            EXPECT_FALSE(::IsWindowVisible(Picture(L"Image2")));
            EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kGreenRgb));
            EXPECT_EQ(host_->PluginWord(), 1u);  // ConfiguredDocklet
            return true;
        })
        .Then(Press(L"Cancel"));
    Configure(1, driver);

    for (const auto& [key, value] : before) EXPECT_EQ(Stored(1, key), value) << key;
    EXPECT_GT(host_->Settings().Commits(), commits);  // saved again, with the same values
    EXPECT_EQ(host_->RedrawRequests(1), redraws);
    EXPECT_EQ(CountStartingWith(host_->Log().Lines(), "[box]"), 0u);
}

TEST_F(LiveEditingTest, LiveChangesReachTheDockletAndCancelPutsBackEveryField) {
    // Two wallpapers, so that a snapshot refresh during the dialog changes the
    // record's wallpaper fields; Cancel must put those back too.
    const std::wstring firstWallpaper = GreenPicture(L"first-wallpaper.png");
    const std::wstring secondWallpaper = base_.File(L"second-wallpaper.png");
    WriteSolidPng(secondWallpaper, 90, 50, kRed);
    ASSERT_TRUE(dockhost::SetWallpaperValue(firstWallpaper));
    Store(1, "Caption", L"Show Desktop");
    Store(1, "IconMode", L"0");
    Store(1, "DummyOverlay", L"1");
    LoadAndCreate({1});
    const std::vector<std::string> keys = {"Iconsource", "LastWallpaper",         "Caption",
                                           "IconMode",   "LastWallpaperFilesize", "DummyOverlay"};
    std::map<std::string, std::wstring> before;
    for (const std::string& key : keys) before[key] = Stored(1, key);

    DialogDriver driver;
    int redraws = 0;
    driver.Then(FormAppears())
        .Then([&] {
            redraws = host_->RedrawRequests(1);
            Click(WallpaperItem());
            EXPECT_EQ(Stored(1, "IconMode"), L"1");
            EXPECT_GT(host_->RedrawRequests(1), redraws);
            EXPECT_TRUE(::IsWindowEnabled(OverlayBox()));
            EXPECT_TRUE(::IsWindowVisible(Picture(L"Image2")));
            redraws = host_->RedrawRequests(1);
            Click(OverlayBox());
            EXPECT_EQ(Stored(1, "DummyOverlay"), L"0");
            EXPECT_GT(host_->RedrawRequests(1), redraws);
            return true;
        })
        .Then([&] {
            // Every keystroke reaches the stored caption.
            HWND edit = CaptionEdit();
            ::SendMessageW(edit, EM_SETSEL, 0, -1);
            TypeText(edit, L"H");
            EXPECT_EQ(Stored(1, "Caption"), L"H");
            TypeText(edit, L"i");
            EXPECT_EQ(Stored(1, "Caption"), L"Hi");
            // The label follows at the next drawing.
            host_->Draw(1, 48, 48);
            EXPECT_EQ(host_->Label(1), "Hi");
            return true;
        })
        .Then([&] {
            dockhost::SetWallpaperValue(secondWallpaper);
            host_->FireTimer(1, "Korimbo_refresh");
            EXPECT_NE(Stored(1, "LastWallpaper"), before["LastWallpaper"]);
            EXPECT_NE(Stored(1, "LastWallpaperFilesize"), before["LastWallpaperFilesize"]);
            // Back to the first, so that the refresh after Cancel finds nothing new.
            dockhost::SetWallpaperValue(firstWallpaper);
            return true;
        })
        .Then(Press(L"Cancel"));
    Configure(1, driver);

    for (const std::string& key : keys) EXPECT_EQ(Stored(1, key), before[key]) << key;
    dockhost::SetWallpaperValue(L"");
}

TEST_F(LiveEditingTest, OkKeepsTheDialogsValues) {
    Store(1, "IconMode", L"0");
    Store(1, "DummyOverlay", L"1");
    LoadAndCreate({1});

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            Click(WallpaperItem());
            Click(OverlayBox());
            ::SetWindowTextW(CaptionEdit(), L"Mine");
            return true;
        })
        .Then(Press(L"OK"));
    Configure(1, driver);

    EXPECT_EQ(Stored(1, "IconMode"), L"1");
    EXPECT_EQ(Stored(1, "DummyOverlay"), L"0");
    EXPECT_EQ(Stored(1, "Caption"), L"Mine");
}

TEST_F(LiveEditingTest, EnterConfirmsAndEscapeCancels) {
    Store(1, "Caption", L"Before");
    LoadAndCreate({1});

    DialogDriver escape;
    escape.Then(FormAppears()).Then([&] {
        ::SetWindowTextW(CaptionEdit(), L"Dropped");
        EXPECT_EQ(Stored(1, "Caption"), L"Dropped");
        PostKey(CaptionEdit(), VK_ESCAPE);
        return true;
    });
    Configure(1, escape);
    EXPECT_EQ(Stored(1, "Caption"), L"Before");

    DialogDriver enter;
    enter.Then(FormAppears()).Then([&] {
        ::SetWindowTextW(CaptionEdit(), L"Kept");
        PostKey(CaptionEdit(), VK_RETURN);
        return true;
    });
    Configure(1, enter);
    EXPECT_EQ(Stored(1, "Caption"), L"Kept");
}

TEST_F(LiveEditingTest, ClosingTheWindowCancels) {
    Store(1, "IconMode", L"0");
    LoadAndCreate({1});

    DialogDriver driver;
    driver.Then(FormAppears()).Then([&] {
        Click(WallpaperItem());
        ::PostMessageW(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    });
    Configure(1, driver);
    EXPECT_EQ(Stored(1, "IconMode"), L"0");
}

}  // namespace
}  // namespace korimbo::test
