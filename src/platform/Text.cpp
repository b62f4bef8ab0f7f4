#include "platform/Text.h"

#include <windows.h>

#include <cwchar>
#include <cstring>
#include <limits>

#include "platform/Failure.h"

namespace korimbo {

namespace {

int CheckedLength(size_t length) {
    if (length > static_cast<size_t>(std::numeric_limits<int>::max())) throw Failure("Text is too long");
    return static_cast<int>(length);
}

}  // namespace

std::wstring NarrowToWide(std::string_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) RaiseWin32Failure("MultiByteToWideChar");
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string WideToNarrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) RaiseWin32Failure("WideCharToMultiByte");
    std::string narrow(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

std::string TextInBuffer(const char* buffer, size_t capacity) {
    const void* end = std::memchr(buffer, 0, capacity);
    return std::string(buffer, end ? static_cast<size_t>(static_cast<const char*>(end) - buffer) : capacity);
}

std::wstring TextInBuffer(const wchar_t* buffer, size_t capacity) {
    const wchar_t* end = std::wmemchr(buffer, L'\0', capacity);
    return std::wstring(buffer, end ? static_cast<size_t>(end - buffer) : capacity);
}

}  // namespace korimbo
