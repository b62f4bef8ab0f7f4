#include "host/HostInterface.h"

#include <cstring>

namespace korimbo {

using namespace host_offset;

uint32_t HostInterface::ReadWord(size_t offset) const noexcept {
    uint32_t word;
    std::memcpy(&word, table_ + offset, sizeof word);
    return word;
}

void HostInterface::WriteWord(size_t offset, uint32_t value) const noexcept {
    std::memcpy(table_ + offset, &value, sizeof value);
}

void HostInterface::RegisterPluginName(const char* name) const { Call<void>(kRegisterPluginName, name); }

std::string HostInterface::GetBaseFolder() const {
    const char* folder = Call<const char*>(kGetBaseFolder);
    return folder ? std::string(folder) : std::string();
}

void HostInterface::SetDockletLabel(DockletId id, const char* text) const {
    Call<void>(kSetDockletLabel, id, text);
}

void HostInterface::SetDockletData(DockletId id, void* data) const { Call<void>(kSetDockletData, id, data); }

void* HostInterface::GetDockletData(DockletId id) const { return Call<void*>(kGetDockletData, id); }

void HostInterface::HostSwitchA(uint32_t value) const { Call<void>(kHostSwitchA, value); }
void HostInterface::HostSwitchB(uint32_t value) const { Call<void>(kHostSwitchB, value); }
void HostInterface::HostSwitchC(uint32_t value) const { Call<void>(kHostSwitchC, value); }

RECT HostInterface::GetIconRect(DockletId id) const {
    // Unlike the other operations, the rectangle's address comes before the
    // context word.
    using Operation = void(__stdcall*)(RECT*, uint32_t, DockletId);
    RECT rect{};
    const auto operation = reinterpret_cast<Operation>(static_cast<uintptr_t>(ReadWord(kGetIconRect)));
    operation(&rect, ReadWord(kGetIconRect + 4), id);
    return rect;
}

void HostInterface::StartNamedTimer(DockletId id, const char* name, uint32_t milliseconds) const {
    Call<void>(kStartNamedTimer, id, name, milliseconds, uint32_t{1});
}

void HostInterface::WriteSettingInteger(DockletId id, const char* key, int32_t value) const {
    Call<void>(kWriteSettingInteger, id, key, value);
}

void HostInterface::WriteSettingBool(DockletId id, const char* key, bool value) const {
    Call<void>(kWriteSettingBool, id, key, uint32_t{value ? 1u : 0u});
}

void HostInterface::WriteSettingString(DockletId id, const char* key, const char* text) const {
    Call<void>(kWriteSettingString, id, key, text ? text : "");
}

void HostInterface::WriteSettingWideString(DockletId id, const char* key, const wchar_t* text) const {
    Call<void>(kWriteSettingWideString, id, key, text ? text : L"");
}

int32_t HostInterface::CommitSettings() const { return Call<int32_t>(kCommitSettings); }

void HostInterface::ReadSettingInteger(DockletId id, const char* key, int32_t fallback, int32_t* value) const {
    Call<void>(kReadSettingInteger, id, key, fallback, value);
}

void HostInterface::ReadSettingBool(DockletId id, const char* key, bool fallback, uint8_t* value) const {
    Call<void>(kReadSettingBool, id, key, uint32_t{fallback ? 1u : 0u}, value);
}

void HostInterface::ReadSettingString(DockletId id, const char* key, const char* fallback, char* buffer,
                                      uint32_t capacity) const {
    Call<void>(kReadSettingString, id, key, fallback, buffer, capacity);
}

void HostInterface::ReadSettingWideString(DockletId id, const char* key, const wchar_t* fallback,
                                          wchar_t* buffer, uint32_t capacity) const {
    Call<void>(kReadSettingWideString, id, key, fallback, buffer, capacity);
}

void HostInterface::RequestRedraw(DockletId id) const { Call<void>(kRequestRedraw, id); }

}  // namespace korimbo
