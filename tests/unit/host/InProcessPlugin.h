// The plug-in's logic linked into the test program, handed to the dock host
// emulator through the same entry points the DLL exports.
#pragma once

#include "DockHost.h"

namespace korimbo::test {

dockhost::PluginEntryPoints InProcessPlugin();

}  // namespace korimbo::test
