// The module this code was linked into (Korimbo.dll inside a host), for the
// plug-in's own resources and window classes, never the host's.
#pragma once

#include <windows.h>

namespace korimbo {

HINSTANCE OwnModule() noexcept;

}  // namespace korimbo
