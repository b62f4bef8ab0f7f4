// Text and file helpers of the dock host emulator.
#pragma once

#include <string>

namespace dockhost {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);

std::string ReadFileText(const std::wstring& path);  // empty when missing
bool WriteFileText(const std::wstring& path, const std::string& text);

// "C:\a\b\" for "C:\a\b\c.dll".
std::wstring FolderOf(const std::wstring& path);
std::wstring FullPath(const std::wstring& path);

}  // namespace dockhost
