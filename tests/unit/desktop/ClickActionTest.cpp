// The click: Windows+D as four key events, or with Control held the file
// manager on the desktop folder; the snapshot refresh afterwards.
#include <gtest/gtest.h>

#include "DockHost.h"
#include "FakeDesktopSystem.h"
#include "desktop/ClickAction.h"
#include "desktop/SpecialFolders.h"
#include "host/Boundary.h"
#include "host/DockletLifecycle.h"
#include "platform/Failure.h"
#include "support/TestFolders.h"

namespace korimbo::test {
namespace {

uint8_t __stdcall Initialize(void* table) {
    return AtBoundary([&] { return InitializePlugin(table); });
}
uint8_t __stdcall Finalize() {
    return AtBoundary([] { return FinalizePlugin(); });
}
uint16_t __stdcall MagicId() { return kMagicId; }

constexpr DockletId kId = 3;

// No wallpaper for the test's life, so the click's snapshot refresh finds
// nothing to do whatever the prefix holds; the value is put back afterwards.
class NoWallpaper {
public:
    NoWallpaper() {
        wchar_t value[MAX_PATH * 2] = {};
        DWORD size = sizeof value;
        had_ = ::RegGetValueW(HKEY_CURRENT_USER, kKey, L"Wallpaper", RRF_RT_REG_SZ, nullptr, value, &size) ==
               ERROR_SUCCESS;
        saved_ = value;
        Set(L"");
    }
    ~NoWallpaper() {
        if (had_)
            Set(saved_);
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Wallpaper");
    }
    NoWallpaper(const NoWallpaper&) = delete;
    NoWallpaper& operator=(const NoWallpaper&) = delete;

private:
    static constexpr const wchar_t* kKey = L"Control Panel\\Desktop";
    static void Set(const std::wstring& path) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Wallpaper", REG_SZ, path.c_str(),
                          static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    }
    bool had_ = false;
    std::wstring saved_;
};

// The plug-in linked into this program, with one docklet, so that the
// click's snapshot refresh finds its record.
class ClickActionTest : public testing::Test {
protected:
    ClickActionTest() : host_(Options()) {
        host_.LoadInProcess({&Initialize, &Finalize, &MagicId});
        EXPECT_TRUE(host_.Create(kId));
    }

    dockhost::DockHostOptions Options() const {
        dockhost::DockHostOptions options;
        options.baseFolder = base_.Path();
        return options;
    }

    NoWallpaper noWallpaper_;
    TempFolder base_;
    dockhost::DockHost host_;
    FakeDesktopSystem fake_;
};

TEST_F(ClickActionTest, PlainClickSendsWindowsDInOrderAndLaunchesNothing) {
    EXPECT_TRUE(HandleClick(kId));
    const BYTE win = 0x5B, d = 0x44;
    const std::vector<KeyEventRecord> expected = {
        {win, FakeDesktopSystem::ScanCodeOf(win), 0, 0},
        {d, FakeDesktopSystem::ScanCodeOf(d), 0, 0},
        {d, FakeDesktopSystem::ScanCodeOf(d), KEYEVENTF_KEYUP, 0},
        {win, FakeDesktopSystem::ScanCodeOf(win), KEYEVENTF_KEYUP, 0},
    };
    EXPECT_EQ(fake_.keyEvents, expected);
    EXPECT_EQ(KEYEVENTF_KEYUP, 2);
    EXPECT_EQ(fake_.mapTypes, std::vector<UINT>(4, 0u));  // virtual key to scan code
    EXPECT_EQ(fake_.keyStateQueries, std::vector<int>{0x11});
    EXPECT_TRUE(fake_.launches.empty());
    EXPECT_TRUE(fake_.messages.empty());
}

TEST_F(ClickActionTest, ControlClickOpensTheDesktopFolderAndSendsNoKeys) {
    fake_.controlHeld = true;
    EXPECT_TRUE(HandleClick(kId));
    EXPECT_TRUE(fake_.keyEvents.empty());
    ASSERT_EQ(fake_.launches.size(), 1u);
    const LaunchRecord& launch = fake_.launches[0];
    EXPECT_EQ(launch.file, L"explorer.exe");
    EXPECT_EQ(launch.parameters, GetSpecialFolderPathWide(CSIDL_DESKTOP));
    EXPECT_FALSE(launch.parameters.empty());
    EXPECT_EQ(launch.verb, L"open");
    EXPECT_EQ(launch.show, 1);
    EXPECT_EQ(launch.owner, nullptr);
    EXPECT_FALSE(launch.folderGiven);
}

TEST_F(ClickActionTest, DesktopOutsideTheCodePageReachesTheFileManagerUnchanged) {
    fake_.controlHeld = true;
    const std::wstring desktop = L"C:\\users\\\u0416\u0435\u043D\u044F \u4E2D\\Desktop";
    fake_.folderPath = desktop;
    HandleClick(kId);
    ASSERT_EQ(fake_.launches.size(), 1u);
    EXPECT_EQ(fake_.launches[0].parameters, desktop);
}

TEST_F(ClickActionTest, UnnamedDesktopOpensTheFileManagerWithoutAFolder) {
    fake_.controlHeld = true;
    fake_.folderPath = L"";
    EXPECT_TRUE(HandleClick(kId));
    ASSERT_EQ(fake_.launches.size(), 1u);
    EXPECT_EQ(fake_.launches[0].file, L"explorer.exe");
    EXPECT_EQ(fake_.launches[0].parameters, L"");
    EXPECT_TRUE(fake_.keyEvents.empty());
}

TEST_F(ClickActionTest, LaunchFailureIsShownAndTheClickGoesOn) {
    fake_.controlHeld = true;
    fake_.duringLaunch = [] { throw Failure("ShellExecuteW failed (error 2)"); };
    EXPECT_TRUE(HandleClick(kId));
    EXPECT_EQ(fake_.messages, std::vector<std::string>{
                                  "Could not execute specified command.\r\n(ShellExecuteW failed (error 2))"});
}

}  // namespace
}  // namespace korimbo::test
