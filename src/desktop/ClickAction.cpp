#include "desktop/ClickAction.h"

#include "desktop/CommandLauncher.h"
#include "desktop/DesktopSystem.h"
#include "desktop/SpecialFolders.h"
#include "icon/WallpaperSnapshot.h"

namespace korimbo {

namespace {

constexpr BYTE kLeftWindowsKey = 0x5B;
constexpr BYTE kKeyD = 0x44;

void SendKey(BYTE virtualKey, DWORD flags) {
    const auto scanCode = static_cast<BYTE>(System().MapVirtualKey(virtualKey, MAPVK_VK_TO_VSC));
    System().KeyEvent(virtualKey, scanCode, flags, 0);
}

// Windows+D is the shell's own show-desktop command.
void SendShowDesktopChord() {
    SendKey(kLeftWindowsKey, 0);
    SendKey(kKeyD, 0);
    SendKey(kKeyD, KEYEVENTF_KEYUP);
    SendKey(kLeftWindowsKey, KEYEVENTF_KEYUP);
}

}  // namespace

bool HandleClick(DockletId id) {
    if (ControlKeyHeld()) {
        // Wide all the way, so a desktop folder outside the code page opens too.
        RunCommand(L"\"explorer.exe\" " + GetSpecialFolderPathWide(CSIDL_DESKTOP));
    } else {
        SendShowDesktopChord();
    }
    // A wallpaper changed since the last timer shows on the icon at once.
    RefreshWallpaperSnapshot(id);
    return true;
}

}  // namespace korimbo
