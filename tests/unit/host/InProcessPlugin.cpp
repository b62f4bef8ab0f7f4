#include "InProcessPlugin.h"

#include "host/Boundary.h"
#include "host/DockletLifecycle.h"

namespace korimbo::test {

namespace {
uint8_t __stdcall Initialize(void* table) { return AtBoundary([&] { return InitializePlugin(table); }); }
uint8_t __stdcall Finalize() { return AtBoundary([] { return FinalizePlugin(); }); }
uint16_t __stdcall MagicId() { return kMagicId; }
}  // namespace

dockhost::PluginEntryPoints InProcessPlugin() { return {&Initialize, &Finalize, &MagicId}; }

}  // namespace korimbo::test
