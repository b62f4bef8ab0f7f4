// The icon file dialog's preview, the update forum link, and texts outside
// plain ASCII.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commdlg.h>  // needs windows.h before it
// clang-format on

#include "SettingsDialogFixture.h"

namespace korimbo::test {
namespace {

using FileDialogAndLinkTest = SettingsDialogFixture;

// Walks every descendant of `parent` for the first window of this class.
HWND DescendantByClass(HWND parent, const wchar_t* className) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        ::GetClassNameW(child, name, 64);
        if (std::wstring(name) == className) return child;
        if (HWND found = DescendantByClass(child, className)) return found;
    }
    return nullptr;
}

// Points the https protocol of this test's own prefix at a command that
// writes the address it is given into a file, and puts the prefix's browser
// back afterwards. (Wine reads protocols from HKEY_CLASSES_ROOT only, not
// from the user's classes.)
class RecordedBrowser {
public:
    explicit RecordedBrowser(const std::wstring& recordFile) {
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &key_, nullptr);
        wchar_t previous[1024] = {};
        DWORD size = sizeof previous - sizeof(wchar_t);
        DWORD type = 0;
        if (::RegQueryValueExW(key_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(previous), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            previous_ = previous;
        Set(L"C:\\windows\\system32\\cmd.exe /c echo %1> \"" + recordFile + L"\"");
    }
    ~RecordedBrowser() {
        Set(previous_);
        ::RegCloseKey(key_);
    }
    RecordedBrowser(const RecordedBrowser&) = delete;
    RecordedBrowser& operator=(const RecordedBrowser&) = delete;

private:
    void Set(const std::wstring& command) {
        ::RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    HKEY key_ = nullptr;
    std::wstring previous_;
};

std::string FileText(const std::wstring& path) {
    const std::vector<uint8_t> bytes = FileExists(path) ? ReadWholeFile(path) : std::vector<uint8_t>{};
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(FileDialogAndLinkTest, TheFileDialogPreviewsTheSelectedPicture) {
    const std::wstring custom = GreenPicture(L"custom.png");
    Store(1, "Iconsource", custom);
    LoadAndCreate({1});

    HWND fileDialog = nullptr;
    DWORD openedAt = 0;
    DialogDriver driver;
    driver.Then(FormAppears())
        .Then(Press(L"Change"))
        .Then([&] {
            fileDialog = VisibleDialogOwnedBy(form_);
            openedAt = ::GetTickCount();
            return fileDialog != nullptr;
        })
        .Then([&] {
            HWND preview = DescendantByClass(fileDialog, L"KorimboPictureBox");
            EXPECT_NE(preview, nullptr);
            if (!preview) return true;
            EXPECT_TRUE(::IsWindowVisible(preview));
            // The dialog starts from the current name; tell the preview the
            // selection changed, as the file list does.
            NMHDR change{};
            change.hwndFrom = fileDialog;
            change.code = CDN_SELCHANGE;
            ::SendMessageW(::GetParent(preview), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
            EXPECT_TRUE(ColoursClose(CentreColour(preview), kGreenRgb));
            // Released at once: the file can go while it is previewed.
            EXPECT_TRUE(::DeleteFileW(custom.c_str())) << ::GetLastError();
            return true;
        })
        .Then([&] {
            if (::GetTickCount() - openedAt < 800) return false;  // let the screen catch up
            SaveScreenshot(fileDialog, StagedPluginFolder() + L"..\\..\\artifacts\\icon-file-dialog.png");
            ::PostMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        })
        .Then([&] { return VisibleDialogOwnedBy(form_) == nullptr; })
        .Then(Press(L"Cancel"));
    Configure(1, driver);
    EXPECT_EQ(Stored(1, "Iconsource"), custom);
}

TEST_F(FileDialogAndLinkTest, TheForumLinkOpensTheUpdateForumPage) {
    const std::wstring record = base_.File(L"opened.txt");
    const RecordedBrowser browser(record);
    LoadAndCreate({1});

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            HWND label = ChildByText(form_, L"Static", L"Check forum for updates");
            EXPECT_NE(label, nullptr);
            // A click on a label with SS_NOTIFY, as the mouse makes it.
            ::SendMessageW(form_, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(label), STN_CLICKED),
                           reinterpret_cast<LPARAM>(label));
            return true;
        })
        .Then([&] { return !FileText(record).empty(); })
        .Then(Press(L"Cancel"));
    Configure(1, driver);

    const std::string opened = FileText(record);
    EXPECT_NE(opened.find("/board/forumdisplay.php?f=89"), std::string::npos) << opened;
    EXPECT_EQ(opened.rfind("https://", 0), 0u) << opened;
    EXPECT_EQ(CountStartingWith(host_->Log().Lines(), "[box]"), 0u);
}

TEST_F(FileDialogAndLinkTest, NonAsciiPathsAndCaptionsArriveUnchanged) {
    UsePlainDefaultIcon();
    const std::wstring folder =
        base_.Path() + Utf8ToWide("\xce\xb5\xce\xb9\xce\xba\xcf\x8c\xce\xbd\xce\xb5\xcf\x82\\");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring custom = folder + Utf8ToWide("\xe5\x9b\xbe\xe6\xa0\x87.png");
    WriteSolidPng(custom, 32, 32, kGreen);
    Store(1, "Iconsource", custom);
    LoadAndCreate({1});

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            EXPECT_TRUE(ColoursClose(CentreColour(Picture(L"Image1")), kGreenRgb));
            ::SetWindowTextW(CaptionEdit(), Utf8ToWide("Caf\xc3\xa9").c_str());
            return true;
        })
        .Then(Press(L"OK"));
    Configure(1, driver);

    EXPECT_EQ(Stored(1, "Iconsource"), custom);
    EXPECT_EQ(Stored(1, "Caption"), Utf8ToWide("Caf\xc3\xa9"));
}

TEST_F(FileDialogAndLinkTest, ADockletWithoutSettingsGetsNoDialog) {
    LoadAndCreate({1});
    DialogDriver driver;  // no steps: nothing must show
    bool answer = true;
    driver.RunDuring([&] { answer = host_->Configure(42); });
    EXPECT_FALSE(answer);
    EXPECT_EQ(VisibleSettingsForm(), nullptr);
    EXPECT_EQ(CountStartingWith(host_->Log().Lines(), "[host] WriteSetting"), 0u);
}

}  // namespace
}  // namespace korimbo::test
