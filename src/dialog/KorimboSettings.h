// TFormSettings: the settings dialog, one form for all docklets, built from
// native controls on a top-level window of its own class and run modally by
// its own message loop. While it is up, changes of the icon source, the
// overlay box and the caption reach the configured docklet at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/ScopedWin.h"
#include "settings/DockletSettings.h"

namespace korimbo {

enum class ModalResult { None = 0, Ok = 1, Cancel = 2 };

inline constexpr wchar_t kFormSettingsClass[] = L"KorimboSettingsForm";

// The update forum page that Label13 opens.
inline constexpr char kUpdateForumAddress[] = "https://forum.korimbo.example/board/forumdisplay.php?f=89";

// The form's window classes (the form and its picture boxes); raise Failure
// when they cannot be registered.
void RegisterFormSettingsClasses(HINSTANCE module);
void UnregisterFormSettingsClasses(HINSTANCE module) noexcept;

class TFormSettings {
public:
    // The window is made when it is first needed.
    explicit TFormSettings(HINSTANCE module) noexcept : module_(module) {}
    ~TFormSettings();
    TFormSettings(const TFormSettings&) = delete;
    TFormSettings& operator=(const TFormSettings&) = delete;

    // Wide, unlike the narrow original: a narrow copy would lose the
    // characters of a path outside the system code page.
    std::wstring DefaultIconPath;
    std::wstring NotUsedImagePath;

    // Fills the controls from the record; their notifications are not acted
    // on meanwhile, so no docklet's settings change.
    void FillControls(const TZephDockletSettings& record);

    // Shows the form modally until OK, Cancel or closing the window (Cancel),
    // or until `wanted` answers false (Cancel as well).
    ModalResult ShowModal(const std::function<bool()>& wanted);
    bool Showing() const noexcept { return showing_; }
    void BringToFront() const noexcept;

    // Ends the form for good: a running modal loop ends with Cancel and the
    // window is destroyed. Used when the plug-in is finalized.
    void Close() noexcept;
    bool Closed() const noexcept { return closed_; }

    // The dialog's values: dlgIcon's file name and the controls' states.
    const std::wstring& IconFileName() const noexcept { return iconFileName_; }
    std::string CaptionText() const;
    int32_t IconSourceIndex() const;  // -1 when no item is chosen
    bool OverlayChecked() const;
    HWND Handle() const noexcept { return window_.Get(); }

    // The form's handlers. A failure raised by one of them while the form is
    // up is shown in an error box and the form stays open.
    void FormShow();
    void RefreshIconPreview();
    void BtChangeClick();
    void BtClearClick();
    void Label13Click();
    void ApplyDialogToSettings();

private:
    friend void RegisterFormSettingsClasses(HINSTANCE module);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);

    HWND EnsureWindow();
    void CreateFonts(int dpi);
    void CreateControls(int dpi);
    void SetWindowIcons();
    void CenterOnScreen() const;
    HWND Control(int id) const noexcept;
    void SetIconSourceIndex(int32_t index);
    void UpdateIconSourceTabStop();
    // Index 0: the overlay box off and the custom icon's preview in view;
    // index 1: the box on and Image2 over the preview; otherwise as they are.
    void ShowIconSourceState(int32_t index);
    template <class Handler>
    void Guarded(Handler&& handler);

    HINSTANCE module_;
    UniqueWindow window_;
    UniqueGdiObject font_;
    UniqueGdiObject linkFont_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::wstring iconFileName_;  // dlgIcon's file name
    HWND lastFocus_ = nullptr;
    ModalResult result_ = ModalResult::None;
    bool showing_ = false;
    bool filling_ = false;
    bool closed_ = false;
};

}  // namespace korimbo
