// The form's own modal loop: what it disables, and how it ends.
#include <gtest/gtest.h>

#include "dialog/ModalLoop.h"
#include "platform/ScopedWin.h"

namespace korimbo {
namespace {

UniqueWindow VisibleWindow() {
    UniqueWindow window(::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
                                          nullptr, nullptr));
    return window;
}

TEST(ModalLoop, OtherWindowsOfTheThreadAreDisabledForItsLifeOnly) {
    UniqueWindow form = VisibleWindow();
    UniqueWindow other = VisibleWindow();
    UniqueWindow alreadyDisabled = VisibleWindow();
    ::EnableWindow(alreadyDisabled.Get(), FALSE);
    {
        const OtherThreadWindowsDisabled disabled(form.Get());
        EXPECT_TRUE(::IsWindowEnabled(form.Get()));
        EXPECT_FALSE(::IsWindowEnabled(other.Get()));
    }
    EXPECT_TRUE(::IsWindowEnabled(other.Get()));
    EXPECT_FALSE(::IsWindowEnabled(alreadyDisabled.Get()));  // left as it was
}

TEST(ModalLoop, EndsWhenFinishedWhenTheWindowGoesAndOnQuit) {
    UniqueWindow form = VisibleWindow();
    int checks = 0;
    ::PostMessageW(form.Get(), WM_NULL, 0, 0);
    RunModalLoop(form.Get(), [&] { return ++checks > 1; });
    EXPECT_EQ(checks, 2);

    // The window destroyed from inside the loop.
    HWND gone = form.Get();
    ::PostMessageW(gone, WM_CLOSE, 0, 0);  // DefWindowProc destroys it
    RunModalLoop(gone, [] { return false; });
    EXPECT_FALSE(::IsWindow(gone));
    (void)form.Detach();

    // WM_QUIT ends the loop and is posted again for the loop outside.
    UniqueWindow next = VisibleWindow();
    ::PostQuitMessage(7);
    RunModalLoop(next.Get(), [] { return false; });
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
}  // namespace korimbo
