#include "icon/IconRendering.h"

#include "host/PluginState.h"
#include "settings/DockletSettings.h"

namespace korimbo {

bool HandleDrawIcon(DockletId id, Gdiplus::GpBitmap**) {
    // Empty step: drawing belongs to the icon production subsystem. The label
    // already follows the caption.
    Host().SetDockletLabel(id, DockletRecord(id).Caption.c_str());
    return true;
}

}  // namespace korimbo
