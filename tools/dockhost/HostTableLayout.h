// The dock host's table, laid out from the host's side. This file is the
// host's own account of the byte offsets: it must never include or share the
// plug-in's headers, so that a wrong offset on either side shows up as a
// failure instead of being shared.
#pragma once

#include <cstddef>

namespace dockhost::layout {

constexpr std::size_t kTableBytes = 512;  // the plug-in may rely on 312

// Operations: code address at the offset, context word four bytes after it.
constexpr std::size_t RegisterPluginName = 0x08;
constexpr std::size_t GetBaseFolder = 0x18;
constexpr std::size_t SetDockletLabel = 0x20;
constexpr std::size_t SetDockletData = 0x30;
constexpr std::size_t GetDockletData = 0x38;
constexpr std::size_t HostSwitchA = 0x48;
constexpr std::size_t HostSwitchB = 0x58;
constexpr std::size_t HostSwitchC = 0x68;
constexpr std::size_t GetIconRect = 0x88;
constexpr std::size_t StartNamedTimer = 0x90;
constexpr std::size_t WriteSettingInteger = 0xA8;
constexpr std::size_t WriteSettingBool = 0xC0;
constexpr std::size_t WriteSettingString = 0xC8;
constexpr std::size_t WriteSettingWideString = 0xD0;
constexpr std::size_t CommitSettings = 0xD8;
constexpr std::size_t ReadSettingInteger = 0xE0;
constexpr std::size_t ReadSettingBool = 0xF8;
constexpr std::size_t ReadSettingString = 0x100;
constexpr std::size_t ReadSettingWideString = 0x108;
constexpr std::size_t RequestRedraw = 0x110;

// A word the host leaves alone; plug-ins keep the configured docklet in it.
constexpr std::size_t PluginWord = 0x04;

// Handler slots, written by the plug-in: plain code addresses.
constexpr std::size_t OnCreate = 0x118;
constexpr std::size_t OnDropFile = 0x11C;
constexpr std::size_t OnClick = 0x120;
constexpr std::size_t OnConfigure = 0x124;
constexpr std::size_t OnIgnored = 0x128;
constexpr std::size_t OnDestroy = 0x12C;
constexpr std::size_t OnDrawIcon = 0x130;
constexpr std::size_t OnTimer = 0x134;

// Export ordinals of a plug-in library.
constexpr int OrdinalFinalization = 1;
constexpr int OrdinalInitialization = 2;
constexpr int OrdinalMagicId = 3;

}  // namespace dockhost::layout
