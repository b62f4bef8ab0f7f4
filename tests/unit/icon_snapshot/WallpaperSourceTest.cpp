// The every-minute check: the registry value and the file's size.
#include <gtest/gtest.h>

#include <string>

#include "ScriptRunner.h"
#include "icon/WallpaperSource.h"
#include "platform/Failure.h"
#include "support/PictureFiles.h"
#include "support/TestFolders.h"

namespace korimbo {
namespace {

// A scratch stand-in for the user's root key, removed afterwards.
class ScratchUserRoot : public ::testing::Test {
protected:
    ScratchUserRoot() {
        path_ = L"Software\\KorimboTests\\WallpaperSource-" + std::to_wstring(::GetCurrentProcessId());
        ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                          nullptr);
    }
    ~ScratchUserRoot() override {
        ::RegCloseKey(root_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }

    void SetValue(DWORD type, const void* data, DWORD bytes) {
        HKEY desktop = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(root_, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    &desktop, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(desktop, L"Wallpaper", 0, type, static_cast<const BYTE*>(data), bytes);
        ::RegCloseKey(desktop);
    }
    void SetText(DWORD type, const std::wstring& text) {
        SetValue(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    bool DesktopKeyExists() const {
        HKEY desktop = nullptr;
        if (::RegOpenKeyExW(root_, L"Control Panel\\Desktop", 0, KEY_READ, &desktop) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(desktop);
        return true;
    }

    std::wstring path_;
    HKEY root_ = nullptr;
};

TEST_F(ScratchUserRoot, AbsentKeyReadsAsNoWallpaperAndIsNotCreated) {
    EXPECT_EQ(ReadWallpaperPathUnder(root_), L"");
    EXPECT_FALSE(DesktopKeyExists());
}

TEST_F(ScratchUserRoot, AbsentValueReadsAsNoWallpaper) {
    SetText(REG_SZ, L"x");
    HKEY desktop = nullptr;
    ::RegOpenKeyExW(root_, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &desktop);
    ::RegDeleteValueW(desktop, L"Wallpaper");
    ::RegCloseKey(desktop);
    EXPECT_EQ(ReadWallpaperPathUnder(root_), L"");
}

TEST_F(ScratchUserRoot, TextValuesAreTakenAsStored) {
    const std::wstring cases[] = {
        L"C:\\Windows\\Web\\Wallpaper\\img0.jpg", L"",
        test::Utf8ToWide("C:\\Bilder\\Обои\\\xe5\xa3\x81\xe7\xba\xb8 \xf0\x9f\x8c\x84.jpg"),
        L"C:\\" + std::wstring(1000, L'w') + L".png",  // longer than MAX_PATH
    };
    for (const std::wstring& text : cases) {
        SetText(REG_SZ, text);
        EXPECT_EQ(ReadWallpaperPathUnder(root_), text);
    }
    // Not expanded.
    SetText(REG_EXPAND_SZ, L"%SystemRoot%\\Web\\wall.jpg");
    EXPECT_EQ(ReadWallpaperPathUnder(root_), L"%SystemRoot%\\Web\\wall.jpg");
}

TEST_F(ScratchUserRoot, OddlyStoredTextIsCutCleanly) {
    // No terminating NUL.
    const std::wstring bare = L"C:\\bare.jpg";
    SetValue(REG_SZ, bare.c_str(), static_cast<DWORD>(bare.size() * sizeof(wchar_t)));
    EXPECT_EQ(ReadWallpaperPathUnder(root_), bare);
    // An odd number of bytes: the half character is dropped.
    SetValue(REG_SZ, bare.c_str(), static_cast<DWORD>(bare.size() * sizeof(wchar_t) - 1));
    EXPECT_EQ(ReadWallpaperPathUnder(root_), L"C:\\bare.jp");
    // Text after an embedded NUL is not part of the path.
    const wchar_t embedded[] = L"C:\\a.jpg\0C:\\b.jpg";
    SetValue(REG_SZ, embedded, sizeof embedded);
    EXPECT_EQ(ReadWallpaperPathUnder(root_), L"C:\\a.jpg");
}

TEST_F(ScratchUserRoot, OtherValueTypesFail) {
    const DWORD number = 42;
    SetValue(REG_DWORD, &number, sizeof number);
    EXPECT_THROW(ReadWallpaperPathUnder(root_), Failure);
    SetValue(REG_BINARY, "abc", 3);
    EXPECT_THROW(ReadWallpaperPathUnder(root_), Failure);
    const wchar_t multi[] = L"C:\\a.jpg\0\0";
    SetValue(REG_MULTI_SZ, multi, sizeof multi);
    EXPECT_THROW(ReadWallpaperPathUnder(root_), Failure);
}

TEST(CurrentUserWallpaper, ReadsTheValueTheDesktopSettingsWrite) {
    const std::wstring before = ReadWallpaperPath();
    const std::wstring path = test::Utf8ToWide("C:\\Wallpapers\\\xe5\xa3\x81\xe7\xba\xb8.jpg");
    ASSERT_TRUE(dockhost::SetWallpaperValue(path));
    EXPECT_EQ(ReadWallpaperPath(), path);
    dockhost::SetWallpaperValue(before);
}

TEST(FileSizeLow, LooksUpTheNamedFileOnly) {
    test::TempFolder folder;
    test::WriteWholeFile(folder.File(L"a.jpg"), std::string(1234, 'x'));
    const std::wstring wide = folder.File(test::Utf8ToWide("\xe5\xa3\x81\xe7\xba\xb8.jpg"));
    test::WriteWholeFile(wide, std::string(77, 'x'));
    test::WriteWholeFile(folder.File(L"empty.jpg"), std::string());
    const struct {
        std::wstring path;
        uint32_t size;
    } cases[] = {
        {folder.File(L"a.jpg"), 1234},
        {folder.File(L"A.JPG"), 1234},  // the file system ignores case
        {wide, 77},
        {folder.File(L"empty.jpg"), 0},
        {folder.File(L"missing.jpg"), 0},
        {L"", 0},
        {folder.File(L"*.jpg"), 0},  // wildcards name no file
        {folder.File(L"a.jp?"), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(GetFileSizeLow(c.path), c.size) << test::WideToUtf8(c.path);
}

}  // namespace
}  // namespace korimbo
