#!/usr/bin/env bash
# Creates the build tree's hermetic Wine prefix: 32-bit, HOME inside the build
# tree, and every shell folder (Desktop, Documents, ...) a plain folder rather
# than Wine's default link into the user's home.
set -euo pipefail
build_dir="$(cd "$1" && pwd)"
export WINEPREFIX="$build_dir/wineprefix"
export HOME="$build_dir/home"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
mkdir -p "$HOME"

if [ -d "$WINEPREFIX" ] && [ ! -f "$WINEPREFIX/.korimbo-ready" ]; then
  rm -rf "$WINEPREFIX"          # left half-made by an interrupted run
fi
if [ ! -d "$WINEPREFIX" ]; then
  echo "creating Wine prefix in $WINEPREFIX"
  DISPLAY= wineboot --init >/dev/null 2>&1 || true
  wineserver --wait
fi

# Replace every link under the user's profile with a plain folder.
profile="$WINEPREFIX/drive_c/users/$(id -un)"
[ -d "$profile" ] || profile="$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)"
find "$profile" -maxdepth 2 -type l | while read -r link; do
  rm -f "$link"
  mkdir -p "$link"
done
mkdir -p "$profile/Desktop"

# Wine's Z: drive stays: the tests reach the build tree through it. Nothing
# in the prefix leads into the real home: HOME is the build tree's.
# No window manager runs on the virtual display: Wine draws window frames
# itself instead of waiting up to two seconds for a manager each time a
# window is hidden (every dialog and message box). Once per prefix.
if [ ! -f "$WINEPREFIX/.korimbo-unmanaged" ]; then
  DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
  wineserver --wait  # the callers start a server of their own next
  touch "$WINEPREFIX/.korimbo-unmanaged"
fi
touch "$WINEPREFIX/.korimbo-ready"
