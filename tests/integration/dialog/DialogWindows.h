// Finding and working the settings dialog's windows from a test, by their
// captions, classes and texts, the way a user sees them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace korimbo::test {

inline constexpr wchar_t kFormCaption[] = L"Korimbo v0.95 - Settings";

// The settings form of this thread when it is visible, else null.
HWND VisibleSettingsForm();
// A visible system dialog (class #32770) owned by `owner`, else null.
HWND VisibleDialogOwnedBy(HWND owner);
// Every visible top-level window of this thread is asked to close: dialogs
// with Cancel, other windows with WM_CLOSE.
void CloseEveryDialogWindow();

// The child of `parent` with this window class and exactly this text.
HWND ChildByText(HWND parent, const wchar_t* className, const std::wstring& text);
// The first child of `parent` with this window class.
HWND ChildByClass(HWND parent, const wchar_t* className);
std::wstring TextOf(HWND window);

void Click(HWND button);      // sent: returns when the click has been handled
void PostClick(HWND button);  // posted: for clicks that open a nested dialog
// One WM_CHAR per character, as typing does.
void TypeText(HWND edit, const std::wstring& text);
void PostKey(HWND window, UINT virtualKey);
bool IsChecked(HWND button);

// The colour (0xRRGGBB) in the middle of the window's client area, as the
// window paints itself.
COLORREF CentreColour(HWND window);
bool ColoursClose(COLORREF a, COLORREF b, int tolerance = 12);

// The window's place in its parent's client area.
RECT PlaceInParent(HWND child);

// The window as it is on the screen, with or without its frame, saved as
// PNG. (PrintWindow under Wine leaves out the child windows, hence the
// screen.) The screen lags behind painting: call it once the window has been
// idle a while.
bool SaveScreenshot(HWND window, const std::wstring& pngPath, bool withFrame = true);

}  // namespace korimbo::test
