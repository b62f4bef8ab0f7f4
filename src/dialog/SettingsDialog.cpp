#include "dialog/SettingsDialog.h"

#include <memory>
#include <utility>

#include "dialog/KorimboSettings.h"
#include "dialog/OwnModule.h"
#include "host/PluginState.h"
#include "icon/WallpaperSnapshot.h"
#include "platform/Failure.h"
#include "platform/UserMessages.h"
#include "settings/DockletSettings.h"

namespace korimbo {

namespace {

// Shared, so that a form whose plug-in is finalized from inside its own
// modal loop lives on until that loop has unwound.
std::shared_ptr<TFormSettings>& FormSettings() {
    static std::shared_ptr<TFormSettings> form;
    return form;
}

// Whether `record` is still the live record the host keeps for `id`.
bool StillConfigured(DockletId id, const TZephDockletSettings* record) {
    return IsLiveDockletRecord(record) && Host().GetDockletData(id) == record;
}

}  // namespace

void CreateFormSettings() {
    DestroyFormSettings();
    RegisterFormSettingsClasses(OwnModule());
    FormSettings() = std::make_shared<TFormSettings>(OwnModule());
}

void DestroyFormSettings() noexcept {
    std::shared_ptr<TFormSettings> form = std::exchange(FormSettings(), nullptr);
    if (!form) return;
    form->Close();
    // The classes go too, so that a later load of the library registers its own.
    UnregisterFormSettingsClasses(OwnModule());
}

bool HandleConfigure(DockletId id) {
    const std::shared_ptr<TFormSettings> form = FormSettings();
    if (!form) return true;
    // One modal loop per form: a second request finds the open dialog.
    if (form->Showing()) {
        form->BringToFront();
        return true;
    }

    TZephDockletSettings& record = DockletRecord(id);
    const TZephDockletSettings before = record;
    try {
        form->FillControls(record);
    } catch (const Failure& failure) {
        // No dialog to show: say why, and leave the settings as they are.
        ShowMessage(failure.what(), MessageKind::Error);
        return true;
    }
    form->DefaultIconPath = Assets().DefaultIconFile;
    form->NotUsedImagePath = Assets().NotUsedImageFile;
    Host().WriteWord(host_offset::kConfiguredDocklet, id);

    const ModalResult result = form->ShowModal([&] { return IsLiveDockletRecord(&record); });
    // Finalized meanwhile: the host's table may be gone.
    if (form->Closed()) return true;
    // Destroyed meanwhile: its record was released, nothing may be written.
    if (!StillConfigured(id, &record)) return true;

    if (result == ModalResult::Ok) {
        record.Iconsource = form->IconFileName();
        record.Caption = form->CaptionText();
        record.IconMode = form->IconSourceIndex();
        record.DummyOverlay = form->OverlayChecked();
    } else {
        record = before;
    }
    SaveDockletSettings(id);
    RefreshWallpaperSnapshot(id);
    return true;
}

}  // namespace korimbo
