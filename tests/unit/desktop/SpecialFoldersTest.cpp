// Paths of the shell's special folders, and what comes back when the shell
// cannot name one.
#include <gtest/gtest.h>

#include "FakeDesktopSystem.h"
#include "desktop/SpecialFolders.h"
#include "platform/Text.h"

namespace korimbo::test {
namespace {

TEST(SpecialFoldersTest, DesktopIsTheRealDesktopFolder) {
    wchar_t expected[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, expected), S_OK);
    EXPECT_EQ(GetSpecialFolderPathWide(CSIDL_DESKTOP), expected);
    EXPECT_EQ(GetSpecialFolderPath(0), WideToNarrow(expected));
    const DWORD attributes = ::GetFileAttributesW(expected);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SpecialFoldersTest, FolderWithoutFileSystemPathGivesEmptyText) {
    // My Computer and the printers are virtual: the shell has an item list but no path.
    EXPECT_EQ(GetSpecialFolderPathWide(CSIDL_DRIVES), L"");
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_PRINTERS), "");
}

TEST(SpecialFoldersTest, UnknownNumberGivesEmptyText) {
    EXPECT_EQ(GetSpecialFolderPathWide(0x7F), L"");
    EXPECT_EQ(GetSpecialFolderPathWide(0xFFFF), L"");
    EXPECT_EQ(GetSpecialFolderPath(-1), "");
}

TEST(SpecialFoldersTest, FailedLookupReleasesNothing) {
    FakeDesktopSystem fake;
    fake.folderLocationFails = true;  // leaves a pointer that is no item list
    EXPECT_EQ(GetSpecialFolderPathWide(CSIDL_DESKTOP), L"");
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_DESKTOP), "");
}

TEST(SpecialFoldersTest, FolderOutsideTheCodePageKeepsItsNameInTheWideVariant) {
    FakeDesktopSystem fake;
    const std::wstring path = L"C:\\users\\\u0416\u0435\u043D\u044F \u4E2D\\Desktop";
    fake.folderPath = path;
    EXPECT_EQ(GetSpecialFolderPathWide(CSIDL_DESKTOP), path);
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_DESKTOP), WideToNarrow(path));
}

TEST(SpecialFoldersTest, ShellParsingNameIsNoPath) {
    FakeDesktopSystem fake;
    fake.folderPath = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{2227A280-3AEA-1069-A2DE-08002B30309D}";
    EXPECT_EQ(GetSpecialFolderPathWide(CSIDL_PRINTERS), L"");
}

TEST(SpecialFoldersTest, PathConversionRefusedGivesEmptyText) {
    FakeDesktopSystem fake;
    fake.folderPath = L"";  // SHGetPathFromIDList answers FALSE
    EXPECT_EQ(GetSpecialFolderPathWide(CSIDL_DESKTOP), L"");
}

}  // namespace
}  // namespace korimbo::test
