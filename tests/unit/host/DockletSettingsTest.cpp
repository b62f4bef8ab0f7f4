// The settings record and its way through the host's storage.
#include <gtest/gtest.h>

#include <string>

#include "DockHost.h"
#include "support/InProcessPlugin.h"
#include "host/PluginState.h"
#include "platform/Failure.h"
#include "platform/UserMessages.h"
#include "settings/DockletSettings.h"
#include "support/TestFolders.h"

namespace korimbo {
namespace {

using dockhost::DockHost;

class DockletSettingsTest : public testing::Test {
protected:
    DockletSettingsTest() : host_(dockhost::DockHostOptions{L"Korimbo.dll", base_.Path(), L"", 48, 48, {}}) {
        host_.LoadInProcess(test::InProcessPlugin());
    }

    TZephDockletSettings& Record(uint32_t id) { return *static_cast<TZephDockletSettings*>(host_.DockletData(id)); }
    std::wstring Stored(uint32_t id, const char* key) { return host_.Settings().Get(id, key).value_or(L"(none)"); }

    test::TempFolder base_;
    DockHost host_;
};

TEST_F(DockletSettingsTest, NothingStoredGivesTheDefaults) {
    ASSERT_TRUE(host_.Create(1));
    const TZephDockletSettings& record = Record(1);
    EXPECT_EQ(record.Iconsource, base_.Path() + L"Korimbo\\default.png");
    EXPECT_EQ(record.LastWallpaper, L"");
    EXPECT_EQ(record.LastWallpaperFilesize, 0);
    EXPECT_EQ(record.IconMode, 0);
    EXPECT_EQ(record.Caption, "Show Desktop");
    EXPECT_TRUE(record.DummyOverlay);
}

TEST_F(DockletSettingsTest, SaveThenLoadGivesBackEveryField) {
    ASSERT_TRUE(host_.Create(7));
    TZephDockletSettings& record = Record(7);
    record.Iconsource = test::Utf8ToWide("C:\\Bilder\\\xC3\xA4rger \xE6\x97\xA5\xE6\x9C\xAC.png");
    record.LastWallpaper = test::Utf8ToWide("C:\\Wallpapers\\\xCE\xB1\xCE\xB2.jpg");
    record.LastWallpaperFilesize = -123456789;
    record.IconMode = -3;
    record.Caption = "My desktop";
    record.DummyOverlay = false;
    const TZephDockletSettings saved = record;
    EXPECT_EQ(SaveDockletSettings(7), 1);  // the host's commit result, unchanged

    record = TZephDockletSettings{};
    record.DummyOverlay = true;
    LoadDockletSettings(7);
    EXPECT_EQ(record.Iconsource, saved.Iconsource);
    EXPECT_EQ(record.LastWallpaper, saved.LastWallpaper);
    EXPECT_EQ(record.LastWallpaperFilesize, saved.LastWallpaperFilesize);
    EXPECT_EQ(record.IconMode, saved.IconMode);
    EXPECT_EQ(record.Caption, saved.Caption);
    EXPECT_EQ(record.DummyOverlay, saved.DummyOverlay);
}

TEST_F(DockletSettingsTest, SaveWritesEveryKeyInOrderThenCommits) {
    ASSERT_TRUE(host_.Create(1));
    Record(1).LastWallpaper.clear();
    host_.Log().Clear();
    SaveDockletSettings(1);
    const auto& lines = host_.Log().Lines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0].rfind("[host] WriteSettingWideString(1, \"Iconsource\"", 0), 0u);
    // An empty text travels as an empty text, never as a null address.
    EXPECT_EQ(lines[1], "[host] WriteSettingWideString(1, \"LastWallpaper\", \"\")");
    EXPECT_EQ(lines[2], "[host] WriteSettingString(1, \"Caption\", \"Show Desktop\")");
    EXPECT_EQ(lines[3], "[host] WriteSettingInteger(1, \"IconMode\", 0)");
    EXPECT_EQ(lines[4], "[host] WriteSettingInteger(1, \"LastWallpaperFilesize\", 0)");
    EXPECT_EQ(lines[5], "[host] WriteSettingBool(1, \"DummyOverlay\", true)");
    EXPECT_EQ(lines[6], "[host] CommitSettings() -> 1");
}

TEST_F(DockletSettingsTest, LongStoredTextsComeBackCutTo255Characters) {
    // The emulator fills all 255 characters without a terminator: the
    // plug-in must not read past its buffer.
    host_.Settings().Set(1, "Caption", std::wstring(300, L'c'));
    host_.Settings().Set(1, "Iconsource", std::wstring(300, L'i'));
    ASSERT_TRUE(host_.Create(1));
    EXPECT_EQ(Record(1).Caption, std::string(255, 'c'));
    EXPECT_EQ(Record(1).Iconsource, std::wstring(255, L'i'));
}

TEST_F(DockletSettingsTest, OddStoredValuesGiveTheDefaults) {
    host_.Settings().Set(1, "IconMode", L"not a number");
    host_.Settings().Set(1, "DummyOverlay", L"0");
    ASSERT_TRUE(host_.Create(1));
    EXPECT_EQ(Record(1).IconMode, 0);
    EXPECT_FALSE(Record(1).DummyOverlay);
}

TEST_F(DockletSettingsTest, TwoDockletsKeepTheirOwnRecords) {
    ASSERT_TRUE(host_.Create(1));
    ASSERT_TRUE(host_.Create(2));
    ASSERT_NE(host_.DockletData(1), host_.DockletData(2));
    Record(1).Caption = "First";
    Record(1).IconMode = 1;
    SaveDockletSettings(1);
    EXPECT_EQ(Record(2).Caption, "Show Desktop");
    EXPECT_EQ(Record(2).IconMode, 0);
    EXPECT_EQ(Stored(2, "Caption"), L"(none)");
    EXPECT_EQ(Stored(1, "Caption"), L"First");
}

TEST_F(DockletSettingsTest, DestroyReleasesTheRecordAndCreateStartsAfresh) {
    ASSERT_TRUE(host_.Create(1));
    void* first = host_.DockletData(1);
    Record(1).Caption = "Kept";
    SaveDockletSettings(1);
    Record(1).Caption = "Not saved";
    ASSERT_TRUE(host_.Destroy(1));
    EXPECT_FALSE(IsLiveDockletRecord(first));

    ASSERT_TRUE(host_.Create(1));
    EXPECT_TRUE(IsLiveDockletRecord(host_.DockletData(1)));
    EXPECT_EQ(Record(1).Caption, "Kept");
}

TEST_F(DockletSettingsTest, AHostThatLostTheRecordGetsFalseNotACrash) {
    ASSERT_TRUE(host_.Create(1));
    void* record = host_.DockletData(1);
    host_.ForgetDockletData(1);
    SetMessageSinkForTesting([](const std::string&, MessageKind) {});
    EXPECT_FALSE(host_.Draw(1, 48, 48).answer);
    SetMessageSinkForTesting({});
    EXPECT_THROW(DockletRecord(1), Failure);
    // A second destruction hands back a released address: nothing happens.
    host_.ForgetDockletData(1);
    EXPECT_TRUE(host_.Destroy(1));
    EXPECT_TRUE(IsLiveDockletRecord(record));
    ReleaseDockletRecord(static_cast<TZephDockletSettings*>(record));
}

}  // namespace
}  // namespace korimbo
