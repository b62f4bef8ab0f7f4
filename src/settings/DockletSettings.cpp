#include "settings/DockletSettings.h"

#include <memory>
#include <set>
#include <vector>

#include "host/PluginState.h"
#include "platform/Failure.h"
#include "platform/Text.h"

namespace korimbo {

namespace {

// One more character than the host is told, so the text stays terminated
// even when the host fills every character it may.
template <class Char>
std::basic_string<Char> ReadText(auto&& read) {
    std::vector<Char> buffer(kSettingTextCapacity + 1, Char{});
    read(buffer.data());
    return TextInBuffer(buffer.data(), buffer.size());
}

std::set<const void*>& LiveRecords() {
    static std::set<const void*> records;
    return records;
}

}  // namespace

TZephDockletSettings* NewDockletRecord() {
    auto record = std::make_unique<TZephDockletSettings>();
    LiveRecords().insert(record.get());
    return record.release();
}

void ReleaseDockletRecord(TZephDockletSettings* record) noexcept {
    if (LiveRecords().erase(record) > 0) delete record;
}

bool IsLiveDockletRecord(const void* record) noexcept { return record && LiveRecords().count(record) > 0; }

TZephDockletSettings& DockletRecord(DockletId id) {
    void* record = Host().GetDockletData(id);
    if (!IsLiveDockletRecord(record)) throw Failure("The host knows no settings for docklet " + std::to_string(id));
    return *static_cast<TZephDockletSettings*>(record);
}

void LoadDockletSettings(DockletId id) {
    const HostInterface host = Host();
    TZephDockletSettings& record = DockletRecord(id);

    record.Iconsource = ReadText<wchar_t>([&](wchar_t* buffer) {
        host.ReadSettingWideString(id, "Iconsource", Assets().DefaultIconFile.c_str(), buffer,
                                   kSettingTextCapacity);
    });
    record.LastWallpaper = ReadText<wchar_t>([&](wchar_t* buffer) {
        host.ReadSettingWideString(id, "LastWallpaper", L"", buffer, kSettingTextCapacity);
    });
    record.Caption = ReadText<char>([&](char* buffer) {
        host.ReadSettingString(id, "Caption", kDefaultCaption, buffer, kSettingTextCapacity);
    });

    // The host stores the default at these addresses when it has no value.
    int32_t iconMode = 0;
    host.ReadSettingInteger(id, "IconMode", 0, &iconMode);
    record.IconMode = iconMode;
    int32_t filesize = 0;
    host.ReadSettingInteger(id, "LastWallpaperFilesize", 0, &filesize);
    record.LastWallpaperFilesize = filesize;
    uint8_t overlay = 1;
    host.ReadSettingBool(id, "DummyOverlay", true, &overlay);
    record.DummyOverlay = overlay != 0;
}

int32_t SaveDockletSettings(DockletId id) {
    const HostInterface host = Host();
    const TZephDockletSettings& record = DockletRecord(id);
    host.WriteSettingWideString(id, "Iconsource", record.Iconsource.c_str());
    host.WriteSettingWideString(id, "LastWallpaper", record.LastWallpaper.c_str());
    host.WriteSettingString(id, "Caption", record.Caption.c_str());
    host.WriteSettingInteger(id, "IconMode", record.IconMode);
    host.WriteSettingInteger(id, "LastWallpaperFilesize", record.LastWallpaperFilesize);
    host.WriteSettingBool(id, "DummyOverlay", record.DummyOverlay);
    return host.CommitSettings();
}

}  // namespace korimbo
