// The plug-in's logic linked into a unit test program, handed to the dock host
// emulator through the entry points the DLL exports.
#pragma once

#include "DockHost.h"
#include "host/Boundary.h"
#include "host/DockletLifecycle.h"

namespace korimbo::test {

inline dockhost::PluginEntryPoints InProcessPlugin() {
    struct EntryPoints {
        static uint8_t __stdcall Initialize(void* table) {
            return AtBoundary([&] { return InitializePlugin(table); });
        }
        static uint8_t __stdcall Finalize() {
            return AtBoundary([] { return FinalizePlugin(); });
        }
        static uint16_t __stdcall MagicId() { return kMagicId; }
    };
    return {&EntryPoints::Initialize, &EntryPoints::Finalize, &EntryPoints::MagicId};
}

}  // namespace korimbo::test
