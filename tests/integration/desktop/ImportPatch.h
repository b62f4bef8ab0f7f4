// A test-host technique: points one entry of a loaded module's import address
// table at a recording function, and puts the original back on destruction.
// It lets a test see what a plug-in asks of the shell without a window or a
// file operation really happening.
#pragma once

#include <windows.h>

namespace korimbo::test {

class ImportPatch {
public:
    // Patches `module`'s import of `function` from `library`; Original() is
    // null when the module does not import it.
    ImportPatch(HMODULE module, const wchar_t* library, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    void* Original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace korimbo::test
