#include "host/HandlerSlots.h"

#include "desktop/ClickAction.h"
#include "desktop/FileDrop.h"
#include "dialog/SettingsDialog.h"
#include "host/Boundary.h"
#include "host/DockletLifecycle.h"
#include "icon/IconRendering.h"
#include "icon/WallpaperSnapshot.h"

namespace korimbo {

namespace {

// The host calls each slot stdcall and reads a one-byte Boolean. Each thunk
// is a boundary in front of the handler proper.
bool __stdcall OnCreate(DockletId id) { return AtBoundary([&] { return HandleCreate(id); }); }

bool __stdcall OnDropFile(DockletId id, int32_t index, int32_t count, const char* path) {
    return AtBoundary([&] { return HandleDropFile(id, index, count, path); });
}

bool __stdcall OnClick(DockletId id) { return AtBoundary([&] { return HandleClick(id); }); }

bool __stdcall OnConfigure(DockletId id) { return AtBoundary([&] { return HandleConfigure(id); }); }

bool __stdcall OnIgnored(uint32_t a, uint32_t b, uint32_t c) {
    return AtBoundary([&] { return HandleIgnored(a, b, c); });
}

bool __stdcall OnDestroy(DockletId id) { return AtBoundary([&] { return HandleDestroy(id); }); }

bool __stdcall OnDrawIcon(DockletId id, Gdiplus::GpBitmap** bitmap) {
    return AtBoundary([&] { return HandleDrawIcon(id, bitmap); });
}

bool __stdcall OnTimer(DockletId id, const char* name) { return AtBoundary([&] { return HandleTimer(id, name); }); }

template <class Handler>
uint32_t AddressOf(Handler handler) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handler));
}

}  // namespace

void PublishHandlers(const HostInterface& host) {
    const uint32_t slots[] = {AddressOf(&OnCreate),  AddressOf(&OnDropFile), AddressOf(&OnClick),
                              AddressOf(&OnConfigure), AddressOf(&OnIgnored), AddressOf(&OnDestroy),
                              AddressOf(&OnDrawIcon), AddressOf(&OnTimer)};
    size_t offset = host_offset::kFirstHandlerSlot;
    for (uint32_t slot : slots) {
        host.WriteWord(offset, slot);
        offset += 4;
    }
}

}  // namespace korimbo
