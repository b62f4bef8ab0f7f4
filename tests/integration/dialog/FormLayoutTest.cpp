// The form as the user sees it: places, texts, fonts, tab order, frame, the
// radio group for stored icon modes, and a screenshot kept as an artefact.
#include <gtest/gtest.h>

#include "SettingsDialogFixture.h"

namespace korimbo::test {
namespace {

using FormLayoutTest = SettingsDialogFixture;

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

int AtDpi(int length, int dpi) { return ::MulDiv(length, dpi, 96); }

struct ExpectedPlace {
    const wchar_t* className;
    const wchar_t* text;
    RECT place;  // left, top, right, bottom at 96 DPI, in the form's client area
};

RECT Box(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

// The link label sits at 11, 229 and is as large as its text in its font
// (119 x 13 with Tahoma 8 pt; Wine's Tahoma is wider).
void CheckLabelFitsItsText(HWND form, int dpi) {
    HWND label = ChildByText(form, L"Static", L"Check forum for updates");
    ASSERT_NE(label, nullptr);
    const RECT at = PlaceInParent(label);
    EXPECT_EQ(at.left, AtDpi(11, dpi));
    EXPECT_EQ(at.top, AtDpi(229, dpi));
    HDC dc = ::GetDC(label);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    const std::wstring text = TextOf(label);
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(label, dc);
    EXPECT_EQ(at.right - at.left, extent.cx);
    EXPECT_EQ(at.bottom - at.top, metrics.tmHeight);
}

std::wstring ArtefactFolder() {
    // <build>\stage\Korimbo\ -> <build>\artifacts\ .
    std::wstring folder = StagedPluginFolder() + L"..\\..\\artifacts\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

TEST_F(FormLayoutTest, ControlsSitWhereTheyWereDesignedAndKeepTheirPlacesWhenResized) {
    LoadAndCreate({1});
    const int dpi = ScreenDpi();
    const std::vector<ExpectedPlace> expected = {
        {L"KorimboPictureBox", L"Image1", Box(10, 10, 145, 145)},
        {L"KorimboPictureBox", L"Image2", Box(10, 10, 145, 145)},
        {L"Button", L"Change", Box(10, 160, 145, 25)},
        {L"Button", L"Clear", Box(10, 188, 145, 25)},
        {L"Button", L"OK", Box(263, 219, 75, 25)},
        {L"Button", L"Cancel", Box(342, 219, 75, 25)},
        {L"Button", L"Caption    ", Box(165, 154, 252, 57)},
        {L"Edit", nullptr, Box(165 + 8, 154 + 21, 233, 21)},
        {L"Button", L"Icon Source    ", Box(167, 8, 250, 73)},
        {L"Button", L"Overlay    ", Box(168, 96, 249, 41)},
        {L"Button", L"Apply d&ummy dock and taskbar overlays", Box(168 + 10, 96 + 16, 218, 17)},
    };

    auto checkPlaces = [&] {
        for (const ExpectedPlace& control : expected) {
            HWND window = control.text ? ChildByText(form_, control.className, control.text)
                                       : ChildByClass(form_, control.className);
            ASSERT_NE(window, nullptr) << (control.text ? "" : "edit");
            const RECT at = PlaceInParent(window);
            // Each measure is scaled on its own, as the form scales them.
            const int left = AtDpi(control.place.left, dpi);
            const int top = AtDpi(control.place.top, dpi);
            const RECT want{left, top, left + AtDpi(control.place.right - control.place.left, dpi),
                            top + AtDpi(control.place.bottom - control.place.top, dpi)};
            EXPECT_TRUE(::EqualRect(&at, &want))
                << TextOf(window).size() << " " << at.left << "," << at.top << "," << at.right << "," << at.bottom;
        }
    };

    DWORD shownAt = 0;
    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            shownAt = ::GetTickCount();
            RECT client{};
            ::GetClientRect(form_, &client);
            EXPECT_EQ(client.right, AtDpi(427, dpi));
            EXPECT_EQ(client.bottom, AtDpi(253, dpi));
            checkPlaces();
            CheckLabelFitsItsText(form_, dpi);

            // The radio items share the group below its caption line.
            const RECT custom = PlaceInParent(CustomIconItem());
            const RECT wallpaper = PlaceInParent(WallpaperItem());
            EXPECT_EQ(custom.left, AtDpi(167 + 8, dpi));
            EXPECT_LT(custom.top, wallpaper.top);
            EXPECT_LE(wallpaper.bottom, AtDpi(8 + 73, dpi));

            // Centred on the screen.
            RECT frame{};
            ::GetWindowRect(form_, &frame);
            EXPECT_NEAR((frame.left + frame.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
            EXPECT_NEAR((frame.top + frame.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

            return true;
        })
        .Then([&] {
            // The screen shows the form a moment after it has painted.
            if (::GetTickCount() - shownAt < 1000) return false;
            const std::wstring name =
                dpi == 96 ? L"settings-dialog" : L"settings-dialog-" + std::to_wstring(dpi) + L"dpi";
            EXPECT_TRUE(SaveScreenshot(form_, ArtefactFolder() + name + L".png"));
            EXPECT_TRUE(SaveScreenshot(form_, ArtefactFolder() + name + L"-client.png", false));

            // Larger: nothing moves.
            RECT frame{};
            ::GetWindowRect(form_, &frame);
            ::SetWindowPos(form_, nullptr, 0, 0, frame.right - frame.left + 120, frame.bottom - frame.top + 80,
                           SWP_NOMOVE | SWP_NOZORDER);
            checkPlaces();
            return true;
        })
        .Then(Press(L"Cancel"));
    Configure(1, driver);
}

TEST_F(FormLayoutTest, FrameFontIconAndTexts) {
    LoadAndCreate({1});
    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            const LONG style = ::GetWindowLongW(form_, GWL_STYLE);
            EXPECT_TRUE(style & WS_THICKFRAME);
            EXPECT_TRUE(style & WS_SYSMENU);
            EXPECT_FALSE(style & WS_MINIMIZEBOX);
            EXPECT_FALSE(style & WS_MAXIMIZEBOX);
            EXPECT_NE(::SendMessageW(form_, WM_GETICON, ICON_BIG, 0), 0);
            EXPECT_NE(::SendMessageW(form_, WM_GETICON, ICON_SMALL, 0), 0);

            LOGFONTW font{};
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Button(L"OK"), WM_GETFONT, 0, 0)), sizeof font,
                         &font);
            EXPECT_STREQ(font.lfFaceName, L"Tahoma");
            EXPECT_EQ(font.lfHeight, -::MulDiv(11, ScreenDpi(), 96));
            EXPECT_FALSE(font.lfUnderline);
            LOGFONTW link{};
            HWND label = ChildByText(form_, L"Static", L"Check forum for updates");
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)), sizeof link, &link);
            EXPECT_STREQ(link.lfFaceName, L"Tahoma");
            EXPECT_TRUE(link.lfUnderline);

            // OK is the default button.
            EXPECT_EQ(::GetWindowLongW(Button(L"OK"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
            EXPECT_EQ(LOWORD(::SendMessageW(form_, DM_GETDEFID, 0, 0)), IDOK);

            // Image2 lies above Image1.
            bool image1Below = false;
            for (HWND w = Picture(L"Image2"); w; w = ::GetWindow(w, GW_HWNDNEXT))
                if (w == Picture(L"Image1")) image1Below = true;
            EXPECT_TRUE(image1Below);
            return true;
        })
        .Then(Press(L"Cancel"));
    Configure(1, driver);
}

TEST_F(FormLayoutTest, TabOrderRunsFromOkThroughTheGroups) {
    // Tab enters the radio group at its chosen item; the overlay box is
    // skipped while it is disabled (custom icon chosen).
    Store(1, "IconMode", L"0");
    Store(2, "IconMode", L"1");
    LoadAndCreate({1, 2});
    for (uint32_t id : {1u, 2u}) {
        SCOPED_TRACE(testing::Message() << "icon mode " << id - 1);
        DialogDriver driver;
        driver.Then(FormAppears())
            .Then([&] {
                EXPECT_EQ(::GetFocus(), Button(L"OK"));
                std::vector<HWND> expected = {Button(L"OK"), Button(L"Cancel"), Button(L"Change"),
                                              Button(L"Clear"), CaptionEdit()};
                if (id == 1) {
                    expected.insert(expected.end(), {CustomIconItem(), Button(L"OK")});
                } else {
                    expected.insert(expected.end(), {WallpaperItem(), OverlayBox(), Button(L"OK")});
                }
                HWND at = expected.front();
                for (size_t i = 1; i < expected.size(); ++i) {
                    at = ::GetNextDlgTabItem(form_, at, FALSE);
                    EXPECT_EQ(at, expected[i]) << "tab stop " << i;
                }
                return true;
            })
            .Then(Press(L"Cancel"));
        Configure(id, driver);
    }
}

TEST_F(FormLayoutTest, StoredIconModesOutsideTheItemsOpenAsTheGroupShowsThem) {
    struct Case {
        const char* stored;
        bool customChecked;
        bool wallpaperChecked;
        const wchar_t* storedAfterOk;
    };
    const Case cases[] = {
        {"2", false, true, L"1"},    {"7", false, true, L"1"}, {"-1", false, false, L"-1"},
        {"-5", false, false, L"-1"}, {"0", true, false, L"0"},
    };
    LoadAndCreate({});
    uint32_t id = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored IconMode " << c.stored);
        ++id;
        Store(id, "IconMode", Utf8ToWide(c.stored));
        ASSERT_TRUE(host_->Create(id));
        DialogDriver driver;
        driver.Then(FormAppears())
            .Then([&] {
                EXPECT_EQ(IsChecked(CustomIconItem()), c.customChecked);
                EXPECT_EQ(IsChecked(WallpaperItem()), c.wallpaperChecked);
                return true;
            })
            .Then(Press(L"OK"));
        Configure(id, driver);
        EXPECT_EQ(Stored(id, "IconMode"), c.storedAfterOk);
    }
}

// Sets the screen DPI of this test's own prefix for programs started from
// now on, and puts the previous setting back.
class PrefixDpi {
public:
    explicit PrefixDpi(DWORD dpi) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key_, nullptr);
        DWORD size = sizeof previous_;
        had_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&previous_),
                                  &size) == ERROR_SUCCESS;
        ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~PrefixDpi() {
        if (had_)
            ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_),
                             sizeof previous_);
        else
            ::RegDeleteValueW(key_, L"LogPixels");
        ::RegCloseKey(key_);
    }
    PrefixDpi(const PrefixDpi&) = delete;
    PrefixDpi& operator=(const PrefixDpi&) = delete;

private:
    HKEY key_ = nullptr;
    DWORD previous_ = 0;
    bool had_ = false;
};

// The layout tests again, in a second run of this program at 144 DPI: the
// whole form scales with the screen.
TEST_F(FormLayoutTest, TheLayoutScalesWithTheScreenDpi) {
    if (ScreenDpi() != 96) GTEST_SKIP() << "this run is already scaled";
    const PrefixDpi dpi(144);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_filter=FormLayoutTest.ControlsSit*:FormLayoutTest.FrameFont*"
                           L":FileDialogAndLinkTest.NonAscii*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    const DWORD waited = ::WaitForSingleObject(process.hProcess, 120000);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    if (waited != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(exitCode, 0u) << "the layout tests failed at 144 DPI (their output is above)";
}

}  // namespace
}  // namespace korimbo::test
