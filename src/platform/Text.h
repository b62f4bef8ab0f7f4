// Conversions between narrow text (the system code page) and wide text (UTF-16).
#pragma once

#include <string>
#include <string_view>

namespace korimbo {

std::wstring NarrowToWide(std::string_view text);
// Characters the code page cannot hold become the code page's default character.
std::string WideToNarrow(std::wstring_view text);

// The text up to the first NUL of a fixed buffer, never reading past its end.
std::string TextInBuffer(const char* buffer, size_t capacity);
std::wstring TextInBuffer(const wchar_t* buffer, size_t capacity);

}  // namespace korimbo
