// Korimbo.dll as a dock loads it: its exports, the start-up sequence, the
// creation of docklets, settings that live through a restart, and the host's
// x87 control word left alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DockHost.h"
#include "HostText.h"
#include "ScriptRunner.h"
#include "support/TestFolders.h"

namespace korimbo::test {
namespace {

using dockhost::DockHost;
using dockhost::DockHostOptions;

std::vector<std::string> WithoutReads(const std::vector<std::string>& lines, const std::string& from) {
    std::vector<std::string> kept;
    bool started = from.empty();
    for (const std::string& line : lines) {
        if (!started && line.rfind(from, 0) == 0) started = true;
        if (started) kept.push_back(line);
    }
    return kept;
}

class LifecycleTest : public testing::Test {
protected:
    LifecycleTest() { StagePluginInto(base_.Path()); }

    DockHostOptions Options() const {
        DockHostOptions options;
        options.pluginPath = base_.Path() + L"Korimbo\\Korimbo.dll";
        options.settingsFile = base_.File(L"dock.ini");
        return options;
    }
    std::string BaseAnsi() const { return dockhost::WideToAnsi(base_.Path()); }

    TempFolder base_;
};

TEST_F(LifecycleTest, MagicIdAnswersBeforeInitialization) {
    HMODULE module = ::LoadLibraryW((base_.Path() + L"Korimbo\\Korimbo.dll").c_str());
    ASSERT_NE(module, nullptr);
    auto magic = reinterpret_cast<uint16_t(__stdcall*)()>(
        reinterpret_cast<void*>(::GetProcAddress(module, reinterpret_cast<LPCSTR>(3))));
    ASSERT_NE(magic, nullptr);
    EXPECT_EQ(magic(), 1376);
    ::FreeLibrary(module);
}

TEST_F(LifecycleTest, InitializationRegistersPublishesSwitchesAndFormsThePaths) {
    DockHost host(Options());
    host.Load();  // resolves the exports by ordinal and checks their names
    EXPECT_TRUE(host.InitializeResult());
    EXPECT_EQ(host.MagicId(), 1376);
    EXPECT_EQ(host.PluginName(), "Korimbo");
    EXPECT_TRUE(host.HandlersPublished());
    EXPECT_EQ(host.PluginWord(), 0u);

    const std::string base = dockhost::Quoted(dockhost::WideToUtf8(base_.Path()));
    const std::vector<std::string> expected = {
        "[host] RegisterPluginName(\"Korimbo\")", "[host] HostSwitchA(0)", "[host] HostSwitchC(1)",
        "[host] HostSwitchB(1)",
        "[host] GetBaseFolder() -> " + base, "[host] GetBaseFolder() -> " + base,
        "[host] GetBaseFolder() -> " + base, "[host] GetBaseFolder() -> " + base,
        "[host] GetBaseFolder() -> " + base, "[plugin] Zeph_Initialization(table) -> true"};
    EXPECT_EQ(WithoutReads(host.Log().Lines(), "[host] RegisterPluginName"), expected);
}

TEST_F(LifecycleTest, CreationAllocatesLabelsLoadsAndStartsTheRefreshTimer) {
    DockHost host(Options());
    host.Load();
    host.Log().Clear();
    ASSERT_TRUE(host.Create(3));
    const auto& lines = host.Log().Lines();
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "[host] SetDockletData(3, record)");
    EXPECT_EQ(lines[1], "[host] SetDockletLabel(3, \"Korimbo\")");
    EXPECT_EQ(lines[2].rfind("[host] ReadSettingWideString(3, \"Iconsource\", " +
                                 dockhost::Quoted(dockhost::WideToUtf8(base_.Path() + L"Korimbo\\default.png")),
                             0),
              0u);
    EXPECT_EQ(lines[3].rfind("[host] ReadSettingWideString(3, \"LastWallpaper\", \"\"", 0), 0u);
    EXPECT_EQ(lines[4].rfind("[host] ReadSettingString(3, \"Caption\", \"Show Desktop\"", 0), 0u);
    EXPECT_EQ(lines[5].rfind("[host] ReadSettingInteger(3, \"IconMode\", 0)", 0), 0u);
    EXPECT_EQ(lines[6].rfind("[host] ReadSettingInteger(3, \"LastWallpaperFilesize\", 0)", 0), 0u);
    EXPECT_EQ(lines[7].rfind("[host] ReadSettingBool(3, \"DummyOverlay\", true)", 0), 0u);
    EXPECT_EQ(lines[lines.size() - 2], "[host] StartNamedTimer(3, \"Korimbo_refresh\", 60000, 1)");
    EXPECT_EQ(lines.back(), "[plugin] HandleCreate(3) -> true");
    ASSERT_EQ(host.Timers(3).size(), 1u);
    EXPECT_EQ(host.Timers(3)[0].milliseconds, 60000u);
}

TEST_F(LifecycleTest, SettingsOfTwoDockletsLiveThroughARestart) {
    {
        DockHost host(Options());
        host.Load();
        ASSERT_TRUE(host.Create(1));
        ASSERT_TRUE(host.Create(2));
        // What a user's earlier configuration left in the dock's storage.
        host.Settings().Set(1, "Caption", L"Left");
        host.Settings().Set(2, "Caption", Utf8ToWide("R\xC3\xA9sum\xC3\xA9"));
        host.Settings().Set(2, "IconMode", L"1");
        host.Settings().Set(2, "DummyOverlay", L"0");
        host.Settings().Commit();
        host.Restart();
        ASSERT_TRUE(host.Create(1));
        ASSERT_TRUE(host.Create(2));
        EXPECT_NE(host.Log().Matching("[host] ReadSettingString(2, \"Caption\", \"Show Desktop\", 255) -> \"R").size(),
                  0u);
        EXPECT_EQ(host.Log().Matching("[host] ReadSettingInteger(2, \"IconMode\", 0) -> 1").size(), 1u);
        EXPECT_EQ(host.Log().Matching("[host] ReadSettingBool(2, \"DummyOverlay\", true) -> false").size(), 1u);
        EXPECT_EQ(host.Log().Matching("[host] ReadSettingInteger(1, \"IconMode\", 0) -> 0").size(), 2u);
    }
    // A new host process reads the same file.
    DockHost again(Options());
    again.Load();
    ASSERT_TRUE(again.Create(1));
    EXPECT_EQ(again.Log().Matching("[host] ReadSettingString(1, \"Caption\", \"Show Desktop\", 255) -> \"Left\"").size(),
              1u);
}

TEST_F(LifecycleTest, AnUnreadableWallpaperDoesNotCostTheDockletItsTimer) {
    ASSERT_TRUE(dockhost::SetWallpaperValue(base_.File(L"missing.jpg")));
    DockHost host(Options());
    host.Load();
    EXPECT_TRUE(host.Create(1));
    EXPECT_EQ(host.Timers(1).size(), 1u);
    EXPECT_EQ(host.Settings().Get(1, "LastWallpaper"), std::nullopt);  // nothing remembered
    dockhost::SetWallpaperValue(L"");
}

TEST_F(LifecycleTest, DestroyThenCreateGivesAFreshRecord) {
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    ASSERT_TRUE(host.Destroy(1));
    ASSERT_TRUE(host.Create(1));
    EXPECT_NE(host.DockletData(1), nullptr);
    EXPECT_TRUE(host.Ignored(1, 2, 3));
}

TEST_F(LifecycleTest, AFailureInsideAHandlerAnswersFalseAndTheHostGoesOn) {
    DockHost host(Options());
    host.Load();
    ASSERT_TRUE(host.Create(1));
    // A host that lost the docklet's data hands back null: the handler fails
    // inside the plug-in and answers false instead of bringing the dock down.
    host.ForgetDockletData(1);
    EXPECT_FALSE(host.Draw(1, 48, 48).answer);
    EXPECT_FALSE(host.Click(1, false));
    EXPECT_TRUE(host.Create(2));
}

class HostFpuWord : public LifecycleTest, public testing::WithParamInterface<uint16_t> {};

TEST_P(HostFpuWord, EveryCallGivesTheHostsControlWordBack) {
    DockHostOptions options = Options();
    options.hostFpuControlWord = GetParam();
    DockHost host(options);
    host.Load();
    ASSERT_TRUE(host.Create(1));
    host.Settings().Set(2, "IconMode", L"1");
    ASSERT_TRUE(host.Create(2));
    auto custom = host.Draw(1, 48, 48);
    auto wallpaper = host.Draw(2, 176, 176);
    EXPECT_TRUE(host.FireTimer(1, "Korimbo_refresh"));
    EXPECT_TRUE(host.FireTimer(1, "other"));
    EXPECT_TRUE(host.Ignored(0, 0, 0));
    EXPECT_TRUE(host.Destroy(1));
    host.Unload();
    EXPECT_EQ(host.FpuViolations(), 0);
}

INSTANTIATE_TEST_SUITE_P(HostWords, HostFpuWord, testing::Values(0x1332, 0x027F, 0x033F));

}  // namespace
}  // namespace korimbo::test
