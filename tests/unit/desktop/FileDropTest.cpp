// Dropped files: the names of one drop go to the shell in one operation when
// the last arrives, as a move, or a copy when Control is held then.
#include <gtest/gtest.h>

#include <cstring>

#include "FakeDesktopSystem.h"
#include "desktop/FileDrop.h"
#include "desktop/SpecialFolders.h"
#include "platform/Text.h"

namespace korimbo::test {
namespace {

constexpr DockletId kId = 7;
constexpr char kFailureMessage[] = "File could not be moved/copied.";

class FileDropTest : public testing::Test {
protected:
    FileDropTest() { PendingDrops().clear(); }
    ~FileDropTest() override { PendingDrops().clear(); }

    // Drops the names as the host does: one call per name, index 0..n-1.
    void Drop(const std::vector<std::string>& names, bool control) {
        const auto count = static_cast<int32_t>(names.size());
        for (int32_t index = 0; index < count; ++index) {
            fake_.controlHeld = control;
            EXPECT_TRUE(HandleDropFile(kId, index, count, names[static_cast<size_t>(index)].c_str()));
        }
    }

    static std::wstring DesktopTarget() { return DoubleNulList({GetSpecialFolderPathWide(CSIDL_DESKTOP)}); }

    FakeDesktopSystem fake_;
};

TEST_F(FileDropTest, ThreeFilesGoInOneMoveWithTheExactRecord) {
    Drop({"C:\\in\\a.txt", "C:\\in\\b c.txt", "D:\\d.bin"}, false);
    ASSERT_EQ(fake_.operations.size(), 1u);
    const FileOperationRecord& operation = fake_.operations[0];
    EXPECT_EQ(operation.owner, nullptr);
    EXPECT_EQ(operation.function, static_cast<UINT>(FO_MOVE));
    EXPECT_EQ(operation.flags, FOF_ALLOWUNDO);
    EXPECT_EQ(operation.flags, 0x40);
    EXPECT_EQ(operation.title, L"Dateien verschieben");

    // The bytes the shell reads: UTF-16 names, each ended by NUL, one more NUL.
    const char16_t expectedFrom[] = u"C:\\in\\a.txt\0C:\\in\\b c.txt\0D:\\d.bin\0";  // + the literal's NUL
    ASSERT_EQ(operation.from.size() * sizeof(wchar_t), sizeof expectedFrom);
    EXPECT_EQ(std::memcmp(operation.from.data(), expectedFrom, sizeof expectedFrom), 0);
    EXPECT_EQ(operation.to, DesktopTarget());
    EXPECT_EQ(operation.to.substr(operation.to.size() - 2), std::wstring(2, L'\0'));
    EXPECT_TRUE(fake_.messages.empty());
    EXPECT_TRUE(PendingDrops().empty());
}

TEST_F(FileDropTest, SingleFileIsMovedAtOnce) {
    EXPECT_TRUE(HandleDropFile(kId, 0, 1, "C:\\one.txt"));
    ASSERT_EQ(fake_.operations.size(), 1u);
    EXPECT_EQ(fake_.operations[0].from, DoubleNulList({L"C:\\one.txt"}));
    EXPECT_EQ(fake_.operations[0].function, static_cast<UINT>(FO_MOVE));
}

TEST_F(FileDropTest, EarlierNamesOnlyCollect) {
    HandleDropFile(kId, 0, 3, "a");
    HandleDropFile(kId, 1, 3, "b");
    EXPECT_TRUE(fake_.operations.empty());
    EXPECT_EQ(PendingDrops(), (std::vector<std::string>{"a", "b"}));
}

struct ControlCase {
    const char* name;
    std::vector<bool> controlAtCall;
    UINT function;
    const wchar_t* title;
};

class DropControlKey : public FileDropTest, public testing::WithParamInterface<ControlCase> {};

TEST_P(DropControlKey, TheKeyAtTheLastCallDecides) {
    const ControlCase& c = GetParam();
    const auto count = static_cast<int32_t>(c.controlAtCall.size());
    for (int32_t index = 0; index < count; ++index) {
        fake_.controlHeld = c.controlAtCall[static_cast<size_t>(index)];
        const std::string name = std::to_string(index) + ".txt";
        HandleDropFile(kId, index, count, name.c_str());
    }
    ASSERT_EQ(fake_.operations.size(), 1u);
    EXPECT_EQ(fake_.operations[0].function, c.function);
    EXPECT_EQ(fake_.operations[0].title, c.title);
    EXPECT_EQ(fake_.operations[0].flags, FOF_ALLOWUNDO);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DropControlKey,
    testing::Values(ControlCase{"Never", {false, false, false}, FO_MOVE, L"Dateien verschieben"},
                    ControlCase{"Always", {true, true, true}, FO_COPY, L"Dateien kopieren"},
                    ControlCase{"OnlyAtTheLast", {false, false, true}, FO_COPY, L"Dateien kopieren"},
                    ControlCase{"ReleasedBeforeTheLast", {true, true, false}, FO_MOVE, L"Dateien verschieben"},
                    ControlCase{"SingleWithControl", {true}, FO_COPY, L"Dateien kopieren"}),
    [](const testing::TestParamInfo<ControlCase>& test) { return std::string(test.param.name); });

TEST_F(FileDropTest, OnlyTheHighBitOfTheKeyStateMeansHeld) {
    struct {
        uint16_t state;
        UINT function;
    } const cases[] = {{0x0000, FO_MOVE}, {0x0001, FO_MOVE}, {0x7FFF, FO_MOVE},
                       {0x8000, FO_COPY}, {0xFF80, FO_COPY}, {0xFF81, FO_COPY}};
    for (const auto& c : cases) {
        fake_.controlState = static_cast<SHORT>(c.state);
        HandleDropFile(kId, 0, 1, "a");
        EXPECT_EQ(fake_.operations.back().function, c.function) << std::hex << c.state;
    }
    EXPECT_EQ(fake_.keyStateQueries, std::vector<int>(6, VK_CONTROL));
}

TEST_F(FileDropTest, IndexBeyondTheLastEndsTheDrop) {
    HandleDropFile(kId, 0, 2, "a");
    HandleDropFile(kId, 5, 2, "b");
    ASSERT_EQ(fake_.operations.size(), 1u);
    EXPECT_EQ(fake_.operations[0].from, DoubleNulList({L"a", L"b"}));
    EXPECT_TRUE(PendingDrops().empty());
}

TEST_F(FileDropTest, OddCountsEndTheDropWithoutOverflow) {
    HandleDropFile(kId, 0, 0, "zero");
    HandleDropFile(kId, 0, INT32_MIN, "minimum");
    HandleDropFile(kId, 0, -1, "negative");
    ASSERT_EQ(fake_.operations.size(), 3u);
    EXPECT_EQ(fake_.operations[1].from, DoubleNulList({L"minimum"}));
    EXPECT_TRUE(PendingDrops().empty());
}

TEST_F(FileDropTest, ListIsEmptyAfterADropSoTheNextStartsAfresh) {
    Drop({"a", "b"}, false);
    EXPECT_TRUE(PendingDrops().empty());
    Drop({"c"}, true);
    ASSERT_EQ(fake_.operations.size(), 2u);
    EXPECT_EQ(fake_.operations[1].from, DoubleNulList({L"c"}));
    EXPECT_EQ(fake_.operations[1].function, static_cast<UINT>(FO_COPY));
}

TEST_F(FileDropTest, IndexZeroDiscardsNamesOfADropThatNeverEnded) {
    HandleDropFile(kId, 0, 3, "left1");
    HandleDropFile(kId, 1, 3, "left2");
    Drop({"new1", "new2"}, false);
    ASSERT_EQ(fake_.operations.size(), 1u);
    EXPECT_EQ(fake_.operations[0].from, DoubleNulList({L"new1", L"new2"}));
}

TEST_F(FileDropTest, RefusedOperationShowsTheMessageAndEmptiesTheList) {
    for (int result : {1223, 0x7C, 2, -1}) {
        SCOPED_TRACE(result);
        fake_.messages.clear();
        fake_.fileOperationResult = result;
        Drop({"a", "b"}, false);
        EXPECT_EQ(fake_.messages, std::vector<std::string>{kFailureMessage});
        EXPECT_TRUE(PendingDrops().empty());
    }
    fake_.messages.clear();
    fake_.fileOperationResult = 0;
    Drop({"c"}, false);
    EXPECT_TRUE(fake_.messages.empty());
    EXPECT_EQ(fake_.operations.back().from, DoubleNulList({L"c"}));
}

TEST_F(FileDropTest, DropDuringTheShellsNestedLoopStartsItsOwnList) {
    bool nested = false;
    fake_.duringFileOperation = [&] {
        if (nested) return;
        nested = true;
        // The host delivers another drop while the shell's progress window runs.
        EXPECT_TRUE(PendingDrops().empty());
        HandleDropFile(kId, 0, 2, "x");
        HandleDropFile(kId, 1, 2, "y");
        HandleDropFile(kId, 0, 2, "partial");
    };
    Drop({"a", "b", "c"}, false);
    ASSERT_EQ(fake_.operations.size(), 2u);
    EXPECT_EQ(fake_.operations[0].from, DoubleNulList({L"a", L"b", L"c"}));
    EXPECT_EQ(fake_.operations[1].from, DoubleNulList({L"x", L"y"}));
    // The unfinished drop that began meanwhile is still its own.
    EXPECT_EQ(PendingDrops(), std::vector<std::string>{"partial"});
}

TEST_F(FileDropTest, EmptyAndMissingNamesDoNotCutTheList) {
    HandleDropFile(kId, 0, 4, "a");
    HandleDropFile(kId, 1, 4, "");
    HandleDropFile(kId, 2, 4, nullptr);
    HandleDropFile(kId, 3, 4, "d");
    ASSERT_EQ(fake_.operations.size(), 1u);
    EXPECT_EQ(fake_.operations[0].from, DoubleNulList({L"a", L"d"}));
}

TEST_F(FileDropTest, DropOfNothingButEmptyNamesAsksNothing) {
    HandleDropFile(kId, 0, 1, "");
    EXPECT_TRUE(fake_.operations.empty());
    EXPECT_TRUE(fake_.messages.empty());
}

TEST_F(FileDropTest, CodePageNamesArriveWideWithoutLoss) {
    const std::wstring wide = L"C:\\in\\Caf\u00E9 \u00FC\u00DF.txt";
    const std::string narrow = WideToNarrow(wide);
    if (NarrowToWide(narrow) != wide) GTEST_SKIP() << "the code page lacks these letters";
    HandleDropFile(kId, 0, 1, narrow.c_str());
    ASSERT_EQ(fake_.operations.size(), 1u);
    EXPECT_EQ(fake_.operations[0].from, DoubleNulList({wide}));
}

TEST_F(FileDropTest, LongNamesPassWhole) {
    const std::string name = "C:\\" + std::string(400, 'x') + ".txt";
    HandleDropFile(kId, 0, 1, name.c_str());
    ASSERT_EQ(fake_.operations.size(), 1u);
    EXPECT_EQ(fake_.operations[0].from, DoubleNulList({NarrowToWide(name)}));
}

TEST_F(FileDropTest, DesktopOutsideTheCodePageIsTheTargetUnchanged) {
    const std::wstring desktop = L"C:\\users\\\u0416\u0435\u043D\u044F\\Desktop";
    fake_.folderPath = desktop;
    Drop({"a"}, false);
    ASSERT_EQ(fake_.operations.size(), 1u);
    EXPECT_EQ(fake_.operations[0].to, DoubleNulList({desktop}));
}

TEST_F(FileDropTest, UnnamedDesktopAsksNothingAndReportsTheFailure) {
    fake_.folderPath = L"";
    Drop({"a", "b"}, false);
    EXPECT_TRUE(fake_.operations.empty());
    EXPECT_EQ(fake_.messages, std::vector<std::string>{kFailureMessage});
    EXPECT_TRUE(PendingDrops().empty());
}

struct KindCase {
    ShellOperationKind kind;
    UINT function;
    const wchar_t* title;
};

TEST(ShellFileOperationTest, EachKindCarriesItsFunctionAndTitle) {
    const KindCase cases[] = {{ShellOperationKind::Move, FO_MOVE, L"Dateien verschieben"},
                              {ShellOperationKind::Copy, FO_COPY, L"Dateien kopieren"},
                              {ShellOperationKind::Delete, FO_DELETE, L"Dateien l\u00F6schen"},
                              {ShellOperationKind::Rename, FO_RENAME, L"Dateien umbenennen"}};
    FakeDesktopSystem fake;
    for (const KindCase& c : cases) {
        EXPECT_TRUE(ShellFileOperation({"C:\\a", "C:\\b"}, L"C:\\target", c.kind));
        const FileOperationRecord& operation = fake.operations.back();
        EXPECT_EQ(operation.function, c.function);
        EXPECT_EQ(operation.title, c.title);
        EXPECT_EQ(operation.flags, FOF_ALLOWUNDO);
        EXPECT_EQ(operation.owner, nullptr);
        EXPECT_EQ(operation.from, DoubleNulList({L"C:\\a", L"C:\\b"}));
        EXPECT_EQ(operation.to, std::wstring(L"C:\\target\0\0", 11));
    }
    EXPECT_EQ(std::wstring(L"Dateien l\u00F6schen")[9], static_cast<wchar_t>(0xF6));
}

TEST(ShellFileOperationTest, SuccessExactlyWhenTheShellAnswersZero) {
    FakeDesktopSystem fake;
    for (int result : {0, 1, 1223, -1, 0x10000}) {
        fake.fileOperationResult = result;
        EXPECT_EQ(ShellFileOperation({"a"}, L"C:\\t", ShellOperationKind::Copy), result == 0) << result;
    }
    EXPECT_TRUE(fake.messages.empty());
}

TEST(ShellFileOperationTest, NoTargetNoOperationButForDelete) {
    FakeDesktopSystem fake;
    EXPECT_FALSE(ShellFileOperation({"a"}, L"", ShellOperationKind::Move));
    EXPECT_FALSE(ShellFileOperation({"a"}, L"", ShellOperationKind::Copy));
    EXPECT_TRUE(fake.operations.empty());
    EXPECT_TRUE(ShellFileOperation({"a"}, L"", ShellOperationKind::Delete));
    ASSERT_EQ(fake.operations.size(), 1u);
    // An empty list: the shell reads no name before the ending NUL.
    EXPECT_EQ(fake.operations[0].to, std::wstring(1, L'\0'));
}

}  // namespace
}  // namespace korimbo::test
