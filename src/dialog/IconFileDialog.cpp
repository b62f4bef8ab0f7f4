#include "dialog/IconFileDialog.h"

#include <commdlg.h>

#include <cstdio>
#include <exception>
#include <vector>

#include "dialog/CurrentFolderKept.h"
#include "dialog/DialogResources.h"
#include "dialog/OwnModule.h"
#include "dialog/PictureBox.h"
#include "platform/Failure.h"
#include "platform/FpuControl.h"
#include "platform/Text.h"

namespace korimbo {

namespace {

// Room for the longest path Windows knows, extended form included.
constexpr size_t kNameCapacity = 32768;

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The preview follows the selection; a name that is no readable picture
// leaves it empty, without a word: the user is still choosing.
void ShowSelectedPicture(HWND hookDialog) {
    HWND box = ::GetDlgItem(hookDialog, IDC_ICON_PREVIEW);
    if (!box) return;
    ClearPicture(box);
    std::vector<wchar_t> path(kNameCapacity, L'\0');
    const LRESULT length =
        ::SendMessageW(::GetParent(hookDialog), CDM_GETFILEPATH, static_cast<WPARAM>(path.size() - 1),
                       reinterpret_cast<LPARAM>(path.data()));
    if (length <= 0) return;
    const std::wstring selected = TextInBuffer(path.data(), path.size());
    if (!IsExistingFile(selected)) return;
    try {
        LoadPictureInto(box, selected);
    } catch (const Failure&) {
    }
}

UINT_PTR CALLBACK PreviewHook(HWND hookDialog, UINT message, WPARAM, LPARAM lParam) {
    FpuControlScope fpu;
    try {
        if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_SELCHANGE)
            ShowSelectedPicture(hookDialog);
    } catch (const std::exception& failure) {
        ::OutputDebugStringA(failure.what());
    } catch (...) {
        ::OutputDebugStringA("Korimbo: file dialog preview failure");
    }
    return 0;  // the dialog's own handling goes on
}

}  // namespace

std::optional<std::wstring> ChooseIconFile(HWND owner, const std::wstring& currentName) {
    std::vector<wchar_t> name(kNameCapacity, L'\0');
    if (currentName.size() < name.size()) currentName.copy(name.data(), currentName.size());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kIconFileFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    // No OFN_FILEMUSTEXIST or OFN_PATHMUSTEXIST: a typed name of a file that
    // does not exist is taken as it is.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    dialog.lpfnHook = PreviewHook;
    // Without the preview part (a build without the plug-in's resources) the
    // dialog still works, just without preview.
    const HINSTANCE module = OwnModule();
    if (::FindResourceW(module, MAKEINTRESOURCEW(IDD_ICON_PREVIEW), MAKEINTRESOURCEW(5) /* RT_DIALOG */)) {
        dialog.hInstance = module;
        dialog.lpTemplateName = MAKEINTRESOURCEW(IDD_ICON_PREVIEW);
        dialog.Flags |= OFN_ENABLETEMPLATE;
    }

    // OFN_NOCHANGEDIR is not honoured everywhere; the folder is put back here too.
    const CurrentFolderKept folder;
    if (::GetOpenFileNameW(&dialog)) return TextInBuffer(name.data(), name.size());
    const DWORD error = ::CommDlgExtendedError();
    if (error != 0) {
        char text[96];
        std::snprintf(text, sizeof text, "The file dialog failed (error 0x%04lX)",
                      static_cast<unsigned long>(error));
        throw Failure(text);
    }
    return std::nullopt;
}

}  // namespace korimbo
