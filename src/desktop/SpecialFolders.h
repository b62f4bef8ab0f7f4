// File-system paths of the shell's special folders (CSIDL numbers; 0 is the
// desktop).
#pragma once

#include <string>

namespace korimbo {

// The folder's path, or an empty text when the shell cannot name it (an
// unknown number, or a virtual folder without a file-system path). Callers
// must not use an empty answer as a folder: the shell would read it as the
// current folder.
std::wstring GetSpecialFolderPathWide(int csidl);

// The same in the system code page; characters outside it are replaced, so
// prefer the wide variant for anything handed back to the shell.
std::string GetSpecialFolderPath(int csidl);

}  // namespace korimbo
