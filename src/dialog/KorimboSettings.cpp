#include "dialog/KorimboSettings.h"

#include <exception>
#include <utility>

#include "desktop/CommandLauncher.h"
#include "dialog/DialogLayout.h"
#include "dialog/DialogResources.h"
#include "dialog/IconFileDialog.h"
#include "dialog/ModalLoop.h"
#include "dialog/PictureBox.h"
#include "host/PluginState.h"
#include "platform/Failure.h"
#include "platform/FpuControl.h"
#include "platform/LongPath.h"
#include "platform/Text.h"
#include "platform/UserMessages.h"

namespace korimbo {

namespace {

using namespace dialog_layout;

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

int ScreenDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : kDesignDpi;
    return dpi > 0 ? dpi : kDesignDpi;
}

bool IsExistingFile(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(ExtendedLengthPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A control's place in the form's client area at 96 DPI.
Box PlaceOnForm(const ControlSpec& entry) {
    if (entry.insideId == 0) return entry.place;
    for (const ControlSpec& group : kControls)
        if (group.id == entry.insideId)
            return {group.place.left + entry.place.left, group.place.top + entry.place.top, entry.place.width,
                    entry.place.height};
    return entry.place;
}

struct NativeKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

NativeKind NativeKindOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Picture:
            return {kPictureBoxClass, WS_CLIPSIBLINGS, 0};  // clipped where Image2 lies above Image1
        case ControlKind::Button:
            return {L"Button", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::DefaultButton:
            return {L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::GroupBox:
        case ControlKind::RadioGroup:
            return {L"Button", BS_GROUPBOX, 0};
        case ControlKind::Edit:
            return {L"Edit", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::CheckBox:
            return {L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
        case ControlKind::Link:
            return {L"Static", SS_LEFT | SS_NOTIFY, 0};
    }
    return {L"Static", 0, 0};
}

HFONT CreateTahoma(int dpi, bool underlined) {
    HFONT font = ::CreateFontW(Scaled(kFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, underlined ? TRUE : FALSE,
                               FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, kFontFace);
    if (!font) RaiseWin32Failure("CreateFontW");
    return font;
}

// A label sizes itself to its text, as the designer's label did: at Tahoma
// 8 pt that is the 119 x 13 of the design, and a wider substitute font is
// not cut off.
void FitLabelToText(HWND label, HFONT font) {
    const WindowDc dc(label);
    if (!dc.Get()) return;
    const SelectedObject selected(dc.Get(), font);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    SIZE extent{};
    TEXTMETRICW metrics{};
    if (!::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent) ||
        !::GetTextMetricsW(dc.Get(), &metrics))
        return;
    ::SetWindowPos(label, nullptr, 0, 0, extent.cx, metrics.tmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Resets a flag when the scope ends, on every path.
class FlagScope {
public:
    explicit FlagScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

void RegisterFormSettingsClasses(HINSTANCE module) {
    RegisterPictureBoxClass(module);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &TFormSettings::WindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kFormSettingsClass;
    if (!::RegisterClassExW(&windowClass)) {
        const DWORD error = ::GetLastError();
        UnregisterPictureBoxClass(module);
        RaiseWin32Failure("RegisterClassExW", error);
    }
}

void UnregisterFormSettingsClasses(HINSTANCE module) noexcept {
    ::UnregisterClassW(kFormSettingsClass, module);
    UnregisterPictureBoxClass(module);
}

TFormSettings::~TFormSettings() { Close(); }

// --- The window ---------------------------------------------------------------

HWND TFormSettings::EnsureWindow() {
    if (window_) return window_.Get();
    if (closed_) throw Failure("The settings dialog has been closed");
    const int dpi = ScreenDpi();
    CreateFonts(dpi);
    RECT frame{0, 0, Scaled(kClientSize.cx, dpi), Scaled(kClientSize.cy, dpi)};
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    HWND window =
        ::CreateWindowExW(kFormExStyle, kFormSettingsClass, kCaption, kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, module_, this);
    if (!window) RaiseWin32Failure("CreateWindowExW");
    window_.Reset(window);
    try {
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        SetWindowIcons();
        CreateControls(dpi);
    } catch (...) {
        window_.Reset();  // no half-made form for next time
        throw;
    }
    return window;
}

void TFormSettings::CreateFonts(int dpi) {
    font_.Reset(CreateTahoma(dpi, false));
    linkFont_.Reset(CreateTahoma(dpi, true));
}

void TFormSettings::CreateControls(int dpi) {
    HWND window = window_.Get();
    auto create = [&](const NativeKind& native, const wchar_t* text, DWORD extraStyle, Box place, int id,
                      HGDIOBJ font) {
        const Box at = Scaled(place, dpi);
        HWND control = ::CreateWindowExW(
            native.exStyle, native.className, text, WS_CHILD | native.style | extraStyle, at.left, at.top,
            at.width, at.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module_, nullptr);
        if (!control) RaiseWin32Failure("CreateWindowExW");
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return control;
    };

    for (const ControlSpec& entry : kControls) {
        // Every control starts a group of its own, but for the radio items.
        const DWORD visible = entry.id == kIdImage2 ? 0 : WS_VISIBLE;  // Image2 is hidden at first
        const Box place = PlaceOnForm(entry);
        const bool link = entry.kind == ControlKind::Link;
        HWND control = create(NativeKindOf(entry.kind), entry.text, visible | WS_GROUP, place, entry.id,
                              link ? linkFont_.Get() : font_.Get());
        if (link) FitLabelToText(control, static_cast<HFONT>(linkFont_.Get()));
        if (entry.kind != ControlKind::RadioGroup) continue;
        const auto count = static_cast<int>(kIconSourceItems.size());
        for (int index = 0; index < count; ++index) {
            const Box item = RadioItemPlace(place, count, index);
            const DWORD style = WS_VISIBLE | BS_AUTORADIOBUTTON | (index == 0 ? WS_GROUP : 0);
            create({L"Button", 0, 0}, kIconSourceItems[static_cast<size_t>(index)], style,
                   {place.left + item.left, place.top + item.top, item.width, item.height},
                   kIdIconSourceItem0 + index, font_.Get());
        }
    }
}

void TFormSettings::SetWindowIcons() {
    // The plug-in's own icon, from its own module, in the two sizes the
    // system shows.
    auto load = [&](int widthMetric, int heightMetric) {
        return static_cast<HICON>(::LoadImageW(module_, MAKEINTRESOURCEW(IDI_FORM_SETTINGS), IMAGE_ICON,
                                               ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric),
                                               LR_DEFAULTCOLOR));
    };
    bigIcon_.Reset(load(SM_CXICON, SM_CYICON));
    smallIcon_.Reset(load(SM_CXSMICON, SM_CYSMICON));
    if (bigIcon_) ::SendMessageW(window_.Get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    if (smallIcon_)
        ::SendMessageW(window_.Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void TFormSettings::CenterOnScreen() const {
    RECT frame{};
    ::GetWindowRect(window_.Get(), &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(window_.Get(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND TFormSettings::Control(int id) const noexcept { return ::GetDlgItem(window_.Get(), id); }

void TFormSettings::Close() noexcept {
    closed_ = true;
    result_ = ModalResult::Cancel;
    window_.Reset();  // the modal loop sees the window go and ends
}

void TFormSettings::BringToFront() const noexcept {
    if (!window_) return;
    // A box or file dialog of the form's own comes first.
    HWND popup = ::GetLastActivePopup(window_.Get());
    ::SetForegroundWindow(popup ? popup : window_.Get());
}

// --- Values -------------------------------------------------------------------

void TFormSettings::FillControls(const TZephDockletSettings& record) {
    EnsureWindow();
    const FlagScope quiet(filling_);
    iconFileName_ = record.Iconsource;
    ::SetWindowTextW(Control(kIdEditCaption), NarrowToWide(record.Caption).c_str());
    SetIconSourceIndex(record.IconMode);
    ::SendMessageW(Control(kIdCbOverlay), BM_SETCHECK, record.DummyOverlay ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string TFormSettings::CaptionText() const {
    HWND edit = Control(kIdEditCaption);
    const int length = ::GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return WideToNarrow(text);
}

int32_t TFormSettings::IconSourceIndex() const {
    for (size_t index = 0; index < kIconSourceItems.size(); ++index)
        if (::SendMessageW(Control(kIdIconSourceItem0 + static_cast<int>(index)), BM_GETCHECK, 0, 0) ==
            BST_CHECKED)
            return static_cast<int32_t>(index);
    return -1;
}

void TFormSettings::SetIconSourceIndex(int32_t index) {
    // As a radio group takes it: past the last item is the last item, below
    // zero is none.
    const auto last = static_cast<int32_t>(kIconSourceItems.size()) - 1;
    if (index > last) index = last;
    if (index < -1) index = -1;
    for (int32_t item = 0; item <= last; ++item)
        ::SendMessageW(Control(kIdIconSourceItem0 + item), BM_SETCHECK,
                       item == index ? BST_CHECKED : BST_UNCHECKED, 0);
    UpdateIconSourceTabStop();
}

void TFormSettings::UpdateIconSourceTabStop() {
    // Tab enters the group at its chosen item, or at the first when none is.
    const int32_t chosen = IconSourceIndex();
    for (size_t item = 0; item < kIconSourceItems.size(); ++item) {
        HWND button = Control(kIdIconSourceItem0 + static_cast<int>(item));
        const LONG style = ::GetWindowLongW(button, GWL_STYLE);
        const bool stop = static_cast<int32_t>(item) == (chosen < 0 ? 0 : chosen);
        ::SetWindowLongW(button, GWL_STYLE, stop ? style | WS_TABSTOP : style & ~static_cast<LONG>(WS_TABSTOP));
    }
}

bool TFormSettings::OverlayChecked() const {
    return ::SendMessageW(Control(kIdCbOverlay), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TFormSettings::ShowIconSourceState(int32_t index) {
    if (index != kIconModeCustom && index != kIconModeWallpaper) return;
    const bool wallpaper = index == kIconModeWallpaper;
    ::EnableWindow(Control(kIdCbOverlay), wallpaper ? TRUE : FALSE);
    ::ShowWindow(Control(kIdImage2), wallpaper ? SW_SHOWNA : SW_HIDE);
}

// --- Running modally -------------------------------------------------------------

ModalResult TFormSettings::ShowModal(const std::function<bool()>& wanted) {
    HWND window = EnsureWindow();
    if (showing_) throw Failure("The settings dialog is already open");
    const FlagScope showing(showing_);
    result_ = ModalResult::None;
    lastFocus_ = nullptr;
    CenterOnScreen();
    // Before the form shows, as a form's OnShow runs.
    Guarded([&] { FormShow(); });
    {
        const OtherThreadWindowsDisabled others(window);
        if (::IsWindow(window)) {
            ::ShowWindow(window, SW_SHOWNORMAL);
            ::SetForegroundWindow(window);
            ::SetFocus(Control(IDOK));
        }
        RunModalLoop(window, [&] { return result_ != ModalResult::None || !wanted(); });
        // The others are enabled again before the form hides, so that one of
        // them takes the activation back.
    }
    if (::IsWindow(window)) ::ShowWindow(window, SW_HIDE);
    return result_ == ModalResult::Ok ? ModalResult::Ok : ModalResult::Cancel;
}

template <class Handler>
void TFormSettings::Guarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        ShowMessage(failure.what(), MessageKind::Error, window_.Get());
    }
}

// --- Messages -------------------------------------------------------------------

LRESULT CALLBACK TFormSettings::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Windows calls in through its own frames: nothing may pass back out.
    FpuControlScope fpu;
    try {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* form = reinterpret_cast<TFormSettings*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (form) return form->HandleMessage(window, message, wParam, lParam);
    } catch (const std::exception& failure) {
        ::OutputDebugStringA(failure.what());
        return 0;
    } catch (...) {
        ::OutputDebugStringA("Korimbo: settings dialog failure");
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TFormSettings::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            result_ = ModalResult::Cancel;  // closing the window cancels; the form stays for next time
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(IDOK, DC_HASDEFID);
        case WM_ACTIVATE:
            // Focus comes back to where it was, as in a dialog.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(window, focus)) lastFocus_ = focus;
            } else if (lastFocus_ && ::IsWindow(lastFocus_)) {
                ::SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == Control(kIdLabel13)) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                ::SetTextColor(dc, kLinkColour);
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == Control(kIdLabel13)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void TFormSettings::OnCommand(int id, int code) {
    // Notifications count only while the form is up, and never while the
    // controls are being filled.
    const bool live = showing_ && !filling_;
    switch (id) {
        case IDOK:
            if (code == BN_CLICKED && showing_) result_ = ModalResult::Ok;
            break;
        case IDCANCEL:
            if (code == BN_CLICKED && showing_) result_ = ModalResult::Cancel;
            break;
        case kIdBtChange:
            if (code == BN_CLICKED && live) Guarded([&] { BtChangeClick(); });
            break;
        case kIdBtClear:
            if (code == BN_CLICKED && live) Guarded([&] { BtClearClick(); });
            break;
        case kIdLabel13:
            if (code == STN_CLICKED && live) Guarded([&] { Label13Click(); });
            break;
        case kIdEditCaption:
            if (code == EN_CHANGE && live) Guarded([&] { ApplyDialogToSettings(); });
            break;
        case kIdIconSourceItem0:
        case kIdIconSourceItem0 + 1:
            if (code == BN_CLICKED) UpdateIconSourceTabStop();
            if (code == BN_CLICKED && live) Guarded([&] { ApplyDialogToSettings(); });
            break;
        case kIdCbOverlay:
            if (code == BN_CLICKED && live) Guarded([&] { ApplyDialogToSettings(); });
            break;
    }
}

// --- Handlers -------------------------------------------------------------------

void TFormSettings::FormShow() {
    // A failed load leaves the later steps undone.
    RefreshIconPreview();
    LoadPictureInto(Control(kIdImage2), NotUsedImagePath);
    ShowIconSourceState(IconSourceIndex());
}

void TFormSettings::RefreshIconPreview() {
    HWND image1 = Control(kIdImage1);
    ClearPicture(image1);
    LoadPictureInto(image1, IsExistingFile(iconFileName_) ? iconFileName_ : DefaultIconPath);
}

void TFormSettings::BtChangeClick() {
    // Choosing a file does not touch the docklet: that waits for the next
    // live change or OK.
    if (auto chosen = ChooseIconFile(window_.Get(), iconFileName_)) {
        iconFileName_ = std::move(*chosen);
        RefreshIconPreview();
    }
}

void TFormSettings::BtClearClick() {
    iconFileName_ = DefaultIconPath;
    RefreshIconPreview();
}

void TFormSettings::Label13Click() { ShellOpenCommand(std::string(kUpdateForumAddress)); }

void TFormSettings::ApplyDialogToSettings() {
    const HostInterface host = Host();
    const DockletId id = host.ReadWord(host_offset::kConfiguredDocklet);
    // Raises Failure when the docklet is gone: nothing is written then.
    TZephDockletSettings& record = DockletRecord(id);
    record.Iconsource = iconFileName_;
    record.Caption = CaptionText();
    record.IconMode = IconSourceIndex();
    record.DummyOverlay = OverlayChecked();
    ShowIconSourceState(record.IconMode);
    SaveDockletSettings(id);
    host.RequestRedraw(id);
}

}  // namespace korimbo
