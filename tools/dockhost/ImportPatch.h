// Redirects one imported function of a loaded module to a replacement by
// rewriting the module's import address table, and puts the original back
// on destruction. A test-host technique for observing what a plug-in asks
// the system for (shell calls, GDI+ objects) without changing the plug-in.
#pragma once

#include <windows.h>

namespace dockhost {

class ImportPatch {
public:
    // dll: the imported library's name (any case), e.g. "gdiplus.dll".
    ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return slot_ != nullptr; }
    // The function the module imported before the patch.
    template <class Function>
    Function Original() const {
        return reinterpret_cast<Function>(original_);
    }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace dockhost
