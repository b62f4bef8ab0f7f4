// Korimbo.dll's exported entry points. Their names and ordinals are fixed in
// Korimbo.def, since 32-bit stdcall names would otherwise be decorated.
// Nothing here runs at load time: GDI+, COM and the shell are the host's to
// start, and DllMain is left to the runtime.
#include <cstdint>

#include "host/Boundary.h"
#include "host/DockletLifecycle.h"

extern "C" {

__stdcall bool Zeph_Initialization(void* table) {
    return korimbo::AtBoundary([&] { return korimbo::InitializePlugin(table); });
}

__stdcall bool Zeph_Finalization() {
    return korimbo::AtBoundary([] { return korimbo::FinalizePlugin(); });
}

// Answers whether or not the plug-in was initialized.
__stdcall uint16_t GetMagicID() { return korimbo::kMagicId; }

}  // extern "C"
