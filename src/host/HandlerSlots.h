// The eight handlers the plug-in publishes in the host's table.
#pragma once

#include "host/HostInterface.h"

namespace korimbo {

// Writes the handler addresses into offsets 280..308, in slot order.
void PublishHandlers(const HostInterface& host);

}  // namespace korimbo
