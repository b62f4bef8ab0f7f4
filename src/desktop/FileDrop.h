#pragma once

#include <cstdint>

#include "host/HostInterface.h"

namespace korimbo {

// Collects the names of one drop and moves (or, with Control, copies) them to
// the desktop in one shell operation when the last name arrives.
bool HandleDropFile(DockletId id, int32_t index, int32_t count, const char* path);

}  // namespace korimbo
