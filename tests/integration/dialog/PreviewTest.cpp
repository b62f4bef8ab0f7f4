// The custom icon's preview, Change and Clear, and the not-used picture.
#include <gtest/gtest.h>

#include "SettingsDialogFixture.h"

namespace korimbo::test {
namespace {

using PreviewTest = SettingsDialogFixture;

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH * 2] = {};
    ::GetCurrentDirectoryW(MAX_PATH * 2, folder);
    return folder;
}

TEST_F(PreviewTest, ClearPreviewsTheDefaultIconAndOkMakesItTheCustomIcon) {
    UsePlainDefaultIcon();
    const std::wstring custom = GreenPicture(L"custom.png");
    Store(1, "Iconsource", custom);
    LoadAndCreate({1});

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kGreenRgb));
            Click(Button(L"Clear"));
            EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kRedRgb));
            // Clear alone does not touch the docklet.
            EXPECT_EQ(Stored(1, "Iconsource"), custom);
            return true;
        })
        .Then(Press(L"OK"));
    Configure(1, driver);

    EXPECT_EQ(Stored(1, "Iconsource"), AssetFile(L"default.png"));
}

TEST_F(PreviewTest, ACustomIconThatNoLongerExistsIsPreviewedAsTheDefault) {
    UsePlainDefaultIcon();
    const std::wstring missing = base_.File(L"gone.png");
    Store(1, "Iconsource", missing);
    LoadAndCreate({1});

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kRedRgb));
            return true;
        })
        .Then(Press(L"OK"));
    Configure(1, driver);

    EXPECT_EQ(Stored(1, "Iconsource"), missing);  // the dialog's name, not the fallback
    EXPECT_EQ(CountStartingWith(host_->Log().Lines(), "[box]"), 0u);
}

TEST_F(PreviewTest, ThePreviewHoldsNoLockOnThePictureFile) {
    const std::wstring custom = GreenPicture(L"custom.png");
    Store(1, "Iconsource", custom);
    LoadAndCreate({1});

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kGreenRgb));
            EXPECT_TRUE(::DeleteFileW(custom.c_str())) << ::GetLastError();
            // Still shown, from the box's own copy.
            EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kGreenRgb));
            return true;
        })
        .Then(Press(L"Cancel"));
    Configure(1, driver);
}

TEST_F(PreviewTest, AMissingNotUsedPictureShowsAnErrorBoxBeforeTheDialog) {
    ASSERT_TRUE(::DeleteFileW(AssetFile(L"notused.png").c_str()));
    Store(1, "IconMode", L"1");
    LoadAndCreate({1});
    const size_t logStart = host_->Log().Lines().size();

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            const std::vector<std::string> lines = LogSince(logStart);
            EXPECT_EQ(CountStartingWith(lines, "[box]"), 1u);
            for (const std::string& line : lines) {
                if (line.rfind("[box]", 0) != 0) continue;
                EXPECT_NE(line.find("caption=\"integration_dialog\""), std::string::npos) << line;
                EXPECT_NE(line.find("notused.png"), std::string::npos) << line;
                EXPECT_NE(line.find("icon=yes"), std::string::npos) << line;
            }
            // The later steps of showing were left undone: the overlay box
            // and Image2 keep the state they had (enabled, hidden).
            EXPECT_TRUE(IsChecked(WallpaperItem()));
            EXPECT_TRUE(::IsWindowEnabled(OverlayBox()));
            EXPECT_FALSE(::IsWindowVisible(Picture(L"Image2")));
            return true;
        })
        .Then(Press(L"Cancel"));
    Configure(1, driver);
    EXPECT_EQ(Stored(1, "IconMode"), L"1");
}

TEST_F(PreviewTest, ChangeTakesChosenAndTypedNamesAndLeavesTheCurrentFolderAlone) {
    UsePlainDefaultIcon();
    TempFolder elsewhere;
    TempFolder working;
    const std::wstring chosen = elsewhere.File(L"chosen.png");
    WriteSolidPng(chosen, 30, 60, kGreen);
    const std::wstring typed = elsewhere.File(L"not-there-yet.png");
    LoadAndCreate({1});
    const std::wstring storedBefore = Stored(1, "Iconsource");
    ASSERT_TRUE(::SetCurrentDirectoryW(working.Path().c_str()));
    const std::wstring folderBefore = CurrentFolder();

    DialogDriver driver;
    driver.Then(FormAppears());
    ChooseWithChange(driver, chosen);
    driver.Then([&] {
        EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kGreenRgb));
        EXPECT_EQ(CurrentFolder(), folderBefore);
        // Choosing does not touch the docklet.
        EXPECT_EQ(Stored(1, "Iconsource"), storedBefore);
        return true;
    });
    ChooseWithChange(driver, typed);
    driver.Then([&] {
        EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kRedRgb));
        EXPECT_EQ(CurrentFolder(), folderBefore);
        return true;
    });
    driver.Then(Press(L"OK"));
    Configure(1, driver);

    EXPECT_EQ(Stored(1, "Iconsource"), typed);
    EXPECT_EQ(CurrentFolder(), folderBefore);
    EXPECT_EQ(CountStartingWith(host_->Log().Lines(), "[box]"), 0u);
    // Out of the folder, so that it can be removed.
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    ::SetCurrentDirectoryW(temp);
}

TEST_F(PreviewTest, AChosenFileThatCannotBeReadShowsAnErrorBoxAndTheDialogStaysOpen) {
    UsePlainDefaultIcon();
    const std::wstring damaged = base_.File(L"damaged.png");
    WriteWholeFile(damaged, std::string("\x89PNG\r\n\x1a\n but nothing more", 24));
    LoadAndCreate({1});
    size_t before = 0;

    DialogDriver driver;
    driver.Then(FormAppears()).Then([&] {
        before = host_->Log().Lines().size();
        return true;
    });
    ChooseWithChange(driver, damaged);
    driver
        .Then([&] {
            const std::vector<std::string> lines = LogSince(before);
            EXPECT_EQ(CountStartingWith(lines, "[box]"), 1u);
            for (const std::string& line : lines)
                if (line.rfind("[box]", 0) == 0) {
                    EXPECT_NE(line.find("damaged.png"), std::string::npos) << line;
                    EXPECT_NE(line.find("icon=yes"), std::string::npos) << line;
                }
            // Still open; a failed preview leaves Image1 empty.
            EXPECT_EQ(VisibleSettingsForm(), form_);
            EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), ::GetSysColor(COLOR_BTNFACE), 0));
            return true;
        })
        .Then(Press(L"OK"));
    Configure(1, driver);
    // The name was taken before the preview failed.
    EXPECT_EQ(Stored(1, "Iconsource"), damaged);
}

}  // namespace
}  // namespace korimbo::test
