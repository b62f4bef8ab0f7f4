// What the host may do while the dialog is up, and what the dialog must not
// do to docklets it is not editing.
#include <gtest/gtest.h>

#include <algorithm>

#include "SettingsDialogFixture.h"

namespace korimbo::test {
namespace {

using HostEventsDuringDialogTest = SettingsDialogFixture;

bool HasWriteFor(const std::vector<std::string>& lines, uint32_t id) {
    // Built piece by piece: "(" + std::string&& trips a false GCC 12 warning.
    std::string mark = "(";
    mark += std::to_string(id);
    mark += ", ";
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.rfind("[host] WriteSetting", 0) == 0 && line.find(mark) != std::string::npos;
    });
}

TEST_F(HostEventsDuringDialogTest, DestroyingTheConfiguredDockletClosesTheDialogWithoutWriting) {
    Store(1, "Caption", L"One");
    Store(2, "Caption", L"Two");
    LoadAndCreate({1, 2});
    size_t destroyedAt = 0;

    DialogDriver driver;
    driver.Then(FormAppears()).Then([&] {
        ::SetWindowTextW(CaptionEdit(), L"Edited");  // a live change first
        destroyedAt = host_->Log().Lines().size();
        EXPECT_TRUE(host_->Destroy(1));
        return true;
    });
    Configure(1, driver);

    EXPECT_EQ(VisibleSettingsForm(), nullptr);
    const std::vector<std::string> after = LogSince(destroyedAt);
    EXPECT_FALSE(HasWriteFor(after, 1));
    EXPECT_FALSE(HasWriteFor(after, 2));
    EXPECT_EQ(CountStartingWith(after, "[box]"), 0u);
    EXPECT_EQ(Stored(2, "Caption"), L"Two");

    // The dialog serves the remaining docklet as before.
    DialogDriver again;
    again.Then(FormAppears())
        .Then([&] {
            EXPECT_EQ(TextOf(CaptionEdit()), L"Two");
            ::SetWindowTextW(CaptionEdit(), L"Second");
            return true;
        })
        .Then(Press(L"OK"));
    Configure(2, again);
    EXPECT_EQ(Stored(2, "Caption"), L"Second");
}

TEST_F(HostEventsDuringDialogTest, ASecondConfigureWhileTheDialogIsUpOnlyBringsItForward) {
    Store(1, "Caption", L"One");
    Store(2, "Caption", L"Two");
    LoadAndCreate({1, 2});

    DialogDriver driver;
    driver.Then(FormAppears())
        .Then([&] {
            EXPECT_TRUE(host_->Configure(2));  // returns at once
            EXPECT_EQ(VisibleSettingsForm(), form_);
            EXPECT_EQ(TextOf(CaptionEdit()), L"One");
            EXPECT_EQ(host_->PluginWord(), 1u);
            ::SetWindowTextW(CaptionEdit(), L"Still one");
            EXPECT_EQ(Stored(1, "Caption"), L"Still one");
            return true;
        })
        .Then(Press(L"OK"));
    Configure(1, driver);

    EXPECT_EQ(Stored(1, "Caption"), L"Still one");
    EXPECT_EQ(Stored(2, "Caption"), L"Two");
    const auto& lines = host_->Log().Lines();
    const auto second = std::find(lines.begin(), lines.end(), "[plugin] HandleConfigure(2) -> true");
    const auto first = std::find(lines.begin(), lines.end(), "[plugin] HandleConfigure(1) -> true");
    EXPECT_TRUE(second < first);
}

TEST_F(HostEventsDuringDialogTest, FillingTheControlsChangesNoDockletsSettings) {
    Store(1, "Caption", L"First");
    Store(1, "IconMode", L"0");
    Store(2, "Caption", L"Second");
    Store(2, "IconMode", L"1");
    Store(2, "DummyOverlay", L"0");
    LoadAndCreate({1, 2, 3});

    DialogDriver first;
    first.Then(FormAppears()).Then(Press(L"OK"));
    Configure(1, first);
    const int redrawsOfFirst = host_->RedrawRequests(1);

    // The dialog still names docklet 1 while it is filled for docklet 2.
    size_t openedAt = host_->Log().Lines().size();
    DialogDriver second;
    second.Then(FormAppears())
        .Then([&] {
            const std::vector<std::string> lines = LogSince(openedAt);
            EXPECT_FALSE(HasWriteFor(lines, 1));
            EXPECT_FALSE(HasWriteFor(lines, 2));
            EXPECT_EQ(host_->RedrawRequests(1), redrawsOfFirst);
            EXPECT_EQ(host_->RedrawRequests(2), 0);
            EXPECT_EQ(Stored(1, "Caption"), L"First");
            EXPECT_EQ(TextOf(CaptionEdit()), L"Second");
            return true;
        })
        .Then(Press(L"Cancel"));
    Configure(2, second);

    // And when the docklet the dialog last served is gone.
    ASSERT_TRUE(host_->Destroy(2));
    openedAt = host_->Log().Lines().size();
    DialogDriver third;
    third.Then(FormAppears())
        .Then([&] {
            const std::vector<std::string> lines = LogSince(openedAt);
            EXPECT_EQ(CountStartingWith(lines, "[host] WriteSetting"), 0u);
            EXPECT_EQ(CountStartingWith(lines, "[box]"), 0u);
            return true;
        })
        .Then(Press(L"Cancel"));
    Configure(3, third);
}

TEST_F(HostEventsDuringDialogTest, UnloadingThePluginAfterTheDialogLeavesNothingBehind) {
    LoadAndCreate({1});
    DialogDriver driver;
    driver.Then(FormAppears()).Then(Press(L"Cancel"));
    Configure(1, driver);
    // A reload registers the window classes anew and opens the dialog again.
    host_->Restart();
    ASSERT_TRUE(host_->Create(1));
    DialogDriver again;
    again.Then(FormAppears()).Then(Press(L"Cancel"));
    Configure(1, again);
}

}  // namespace
}  // namespace korimbo::test
