// dlgIcon: the system's file-open dialog for choosing a custom icon, with a
// preview of the selected picture beside the file list.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace korimbo {

inline constexpr wchar_t kIconFileFilter[] = L"PNG-Images\0*.png\0";

// Runs the dialog modally, owned by `owner`, starting from `currentName`. A
// typed name of a file that does not exist is accepted. Answers the chosen
// name, or nothing when the user cancelled. The process's current folder is
// the same afterwards. Raises Failure when the dialog itself fails.
std::optional<std::wstring> ChooseIconFile(HWND owner, const std::wstring& currentName);

}  // namespace korimbo
