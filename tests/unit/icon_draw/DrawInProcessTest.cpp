// HandleDrawIcon with the plug-in's logic in this program: the desktop size
// and the message box are replaced, so that a wide desktop and a failure
// while composing can be staged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DockHost.h"
#include "support/InProcessPlugin.h"
#include "icon/IconGeometry.h"
#include "platform/Failure.h"
#include "platform/UserMessages.h"
#include "settings/DockletSettings.h"
#include "support/SolidPicture.h"
#include "support/TestFolders.h"

namespace korimbo {
namespace {

constexpr uint32_t kBlue = 0xFF0000FF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kYellow = 0xFFFFFF00;
const std::vector<test::PaletteEntry> kPalette = {{'B', kBlue}, {'R', kRed}, {'G', kGreen}, {'Y', kYellow}};
constexpr char kFailureText[] =
    "Korimbo: Error on Draw-Icon. Some settings will be reset to prevent further damage.";

class DrawInProcessTest : public testing::Test {
protected:
    DrawInProcessTest() : host_(dockhost::DockHostOptions{L"Korimbo.dll", base_.Path(), L"", 48, 48, {}}) {
        ::CreateDirectoryW(Asset(L"").c_str(), nullptr);
        EXPECT_TRUE(test::WriteSolidPng(Asset(L"default.png"), 64, 64, kYellow));
        EXPECT_TRUE(test::WriteSolidPng(Asset(L"wallpaper.png"), 500, 281, kBlue));
        EXPECT_TRUE(test::WriteSolidPng(Asset(L"taskbar.png"), 500, 40, kRed));
        EXPECT_TRUE(test::WriteSolidPng(Asset(L"dock.png"), 500, 80, kGreen));
        SetMessageSinkForTesting([this](const std::string& text, MessageKind) { messages_.push_back(text); });
        host_.LoadInProcess(test::InProcessPlugin());
        host_.Create(1);
    }
    ~DrawInProcessTest() override {
        host_.Unload();
        SetMessageSinkForTesting({});
        SetDesktopSizeSourceForTesting({});
    }

    std::wstring Asset(const std::wstring& name) const { return base_.Path() + L"Korimbo\\" + name; }
    TZephDockletSettings& Record(uint32_t id) {
        return *static_cast<TZephDockletSettings*>(host_.DockletData(id));
    }
    std::wstring Stored(const char* key) { return host_.Settings().Get(1, key).value_or(L"(none)"); }

    test::TempFolder base_;
    dockhost::DockHost host_;
    std::vector<std::string> messages_;
};

// The colour in the middle of row y.
uint32_t RowColour(const dockhost::DockHost::DrawResult& drawn, int y) {
    return drawn.Pixels()[static_cast<size_t>(y * drawn.Width() + drawn.Width() / 2)];
}

TEST_F(DrawInProcessTest, WideDesktopPutsTheBandWhereExtendedPrecisionSays) {
    // 176 px on 3520 x 1050: the band is 53 high at y = 62, the taskbar 14 and
    // the dock 28 high, ending with the band at y = 115.
    SetDesktopSizeSourceForTesting([] { return DesktopSize{3520, 1050}; });
    Record(1).IconMode = kIconModeWallpaper;
    const auto drawn = host_.Draw(1, 176, 176);
    ASSERT_TRUE(drawn.answer);
    ASSERT_EQ(drawn.Width(), 176);
    const auto pixels = drawn.Pixels();
    const std::string expected = test::ExpectedKinds(176, {{'B', 62, 53}, {'R', 62, 14}, {'G', 87, 28}});
    for (int column : {0, 88, 175})
        EXPECT_EQ(test::ColumnKinds(pixels, 176, column, kPalette), expected) << "column " << column;
}

TEST_F(DrawInProcessTest, FailureWhileComposingResetsAndSavesAndKeepsThePlacedBitmap) {
    SetDesktopSizeSourceForTesting([]() -> DesktopSize { throw Failure("desktop size unavailable"); });
    Record(1).IconMode = kIconModeWallpaper;
    Record(1).Iconsource = L"C:\\Icons\\mine.png";
    const int redraws = host_.RedrawRequests(1);
    const auto drawn = host_.Draw(1, 64, 64);

    EXPECT_FALSE(drawn.answer);
    EXPECT_EQ(messages_, std::vector<std::string>{kFailureText});
    EXPECT_EQ(Record(1).IconMode, kIconModeCustom);
    EXPECT_EQ(Record(1).Iconsource, Asset(L"default.png"));
    EXPECT_EQ(Stored("IconMode"), L"0");
    EXPECT_EQ(Stored("Iconsource"), Asset(L"default.png"));
    EXPECT_EQ(host_.RedrawRequests(1), redraws);
    // The bitmap was the host's before the failure and stays with it.
    EXPECT_EQ(drawn.Width(), 64);

    // Back in mode 0 the default icon is drawn again.
    SetDesktopSizeSourceForTesting({});
    const auto again = host_.Draw(1, 64, 64);
    EXPECT_TRUE(again.answer);
    EXPECT_TRUE(test::Near(RowColour(again, 10), kYellow));
}

TEST_F(DrawInProcessTest, DockletDestroyedWhileTheMessageIsUpHasNothingToReset) {
    SetDesktopSizeSourceForTesting([]() -> DesktopSize { throw Failure("desktop size unavailable"); });
    Record(1).IconMode = kIconModeWallpaper;
    SetMessageSinkForTesting([this](const std::string& text, MessageKind) {
        messages_.push_back(text);
        host_.Destroy(1);  // the host's message loop runs while the box is up
    });
    host_.Log().Clear();
    EXPECT_FALSE(host_.Draw(1, 48, 48).answer);
    EXPECT_EQ(messages_.size(), 1u);
    for (const std::string& line : host_.Log().Lines()) EXPECT_EQ(line.find("WriteSetting"), std::string::npos);
}

}  // namespace
}  // namespace korimbo
