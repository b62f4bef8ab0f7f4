#include "desktop/FileDrop.h"

namespace korimbo {

bool HandleDropFile(DockletId, int32_t, int32_t, const char*) {
    // Empty step: the shell operation belongs to the desktop actions.
    return true;
}

}  // namespace korimbo
