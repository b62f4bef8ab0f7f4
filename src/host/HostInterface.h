// The dock host's table of operations, as the plug-in sees it.
//
// The host hands over one block of 32-bit little-endian words that stays valid
// until Zeph_Finalization. An operation is a code address at offset N with a
// context word at N + 4; it is called stdcall with the context word first.
// Offsets 280..308 are the plug-in's handler slots (HandlerSlots.h).
// Everything is called on the host's user-interface thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace korimbo {

using DockletId = uint32_t;

namespace host_offset {
inline constexpr size_t kConfiguredDocklet = 4;  // a plain word the plug-in may use
inline constexpr size_t kRegisterPluginName = 8;
inline constexpr size_t kGetBaseFolder = 24;
inline constexpr size_t kSetDockletLabel = 32;
inline constexpr size_t kSetDockletData = 48;
inline constexpr size_t kGetDockletData = 56;
inline constexpr size_t kHostSwitchA = 72;
inline constexpr size_t kHostSwitchB = 88;
inline constexpr size_t kHostSwitchC = 104;
inline constexpr size_t kGetIconRect = 136;
inline constexpr size_t kStartNamedTimer = 144;
inline constexpr size_t kWriteSettingInteger = 168;
inline constexpr size_t kWriteSettingBool = 192;
inline constexpr size_t kWriteSettingString = 200;
inline constexpr size_t kWriteSettingWideString = 208;
inline constexpr size_t kCommitSettings = 216;
inline constexpr size_t kReadSettingInteger = 224;
inline constexpr size_t kReadSettingBool = 248;
inline constexpr size_t kReadSettingString = 256;
inline constexpr size_t kReadSettingWideString = 264;
inline constexpr size_t kRequestRedraw = 272;
inline constexpr size_t kFirstHandlerSlot = 280;
inline constexpr size_t kTableSize = 312;
}  // namespace host_offset

// Length of the host's settings text buffers, in characters of the width read.
inline constexpr uint32_t kSettingTextCapacity = 255;

// Typed calls into the host's table. Holds only the table's address.
class HostInterface {
public:
    explicit HostInterface(void* table) noexcept : table_(static_cast<uint8_t*>(table)) {}

    void RegisterPluginName(const char* name) const;
    // The host's base folder; a null answer counts as empty.
    std::string GetBaseFolder() const;
    void SetDockletLabel(DockletId id, const char* text) const;
    void SetDockletData(DockletId id, void* data) const;
    void* GetDockletData(DockletId id) const;
    void HostSwitchA(uint32_t value) const;
    void HostSwitchB(uint32_t value) const;
    void HostSwitchC(uint32_t value) const;
    RECT GetIconRect(DockletId id) const;
    void StartNamedTimer(DockletId id, const char* name, uint32_t milliseconds) const;
    void WriteSettingInteger(DockletId id, const char* key, int32_t value) const;
    void WriteSettingBool(DockletId id, const char* key, bool value) const;
    void WriteSettingString(DockletId id, const char* key, const char* text) const;
    void WriteSettingWideString(DockletId id, const char* key, const wchar_t* text) const;
    int32_t CommitSettings() const;
    void ReadSettingInteger(DockletId id, const char* key, int32_t fallback, int32_t* value) const;
    void ReadSettingBool(DockletId id, const char* key, bool fallback, uint8_t* value) const;
    void ReadSettingString(DockletId id, const char* key, const char* fallback, char* buffer,
                           uint32_t capacity) const;
    void ReadSettingWideString(DockletId id, const char* key, const wchar_t* fallback, wchar_t* buffer,
                               uint32_t capacity) const;
    void RequestRedraw(DockletId id) const;

    uint32_t ReadWord(size_t offset) const noexcept;
    void WriteWord(size_t offset, uint32_t value) const noexcept;

private:
    // Calls the operation at `offset` with its context word first.
    template <class Result, class... Args>
    Result Call(size_t offset, Args... args) const {
        using Operation = Result(__stdcall*)(uint32_t, Args...);
        const auto operation = reinterpret_cast<Operation>(static_cast<uintptr_t>(ReadWord(offset)));
        return operation(ReadWord(offset + 4), args...);
    }

    uint8_t* table_;
};

}  // namespace korimbo
