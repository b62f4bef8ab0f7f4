// Paths longer than MAX_PATH reach the file system only in their extended
// form ("\\?\C:\..." or "\\?\UNC\server\...").
#pragma once

#include <string>

namespace korimbo {

// The extended form of a long, absolute, normalised path; any other path is
// answered unchanged (the extended form disables the usual normalisation).
std::wstring ExtendedLengthPath(const std::wstring& path);

}  // namespace korimbo
