// The settings dialog, one for all docklets of the plug-in: made by
// Zeph_Initialization, shown by HandleConfigure, ended by Zeph_Finalization.
#pragma once

#include "host/HostInterface.h"

namespace korimbo {

void CreateFormSettings();
void DestroyFormSettings() noexcept;

// Shows the dialog for the docklet modally. OK keeps the dialog's values,
// Cancel or closing puts back the whole record as it was; both save it and
// refresh the wallpaper snapshot. While the dialog is up, a second call only
// brings it to the front, and when the host destroys the configured docklet
// the dialog closes without writing anything. Answers true.
bool HandleConfigure(DockletId id);

}  // namespace korimbo
