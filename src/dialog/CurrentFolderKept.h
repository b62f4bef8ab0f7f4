// Puts the process's current folder back when the scope ends. The host
// resolves relative paths against it, and some system dialogs move it.
#pragma once

#include <windows.h>

#include <string>

namespace korimbo {

class CurrentFolderKept {
public:
    CurrentFolderKept() {
        const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
        if (needed == 0) return;
        folder_.resize(needed);
        const DWORD length = ::GetCurrentDirectoryW(needed, folder_.data());
        folder_.resize(length < needed ? length : 0);
    }
    ~CurrentFolderKept() {
        if (!folder_.empty()) ::SetCurrentDirectoryW(folder_.c_str());
    }
    CurrentFolderKept(const CurrentFolderKept&) = delete;
    CurrentFolderKept& operator=(const CurrentFolderKept&) = delete;

private:
    std::wstring folder_;
};

}  // namespace korimbo
