#!/usr/bin/env bash
# The main job: installs what is missing, builds, runs Korimbo.dll in the
# dock host emulator (the scripted demo, then a visible dock with two
# docklets, captured as a screenshot) and packs dist/Korimbo-<version>.zip.
# Results go to build/demo/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
configure_and_build
start_display_and_wine
out="$build/demo"
rm -rf "$out" && mkdir -p "$out"
cp -r "$build/stage/Korimbo" "$out/"
# The demo wallpaper, named relative to the run folder by demo.txt.
cp "$root/assets/demo/wallpaper.png" "$out/demo-wallpaper.png"
cd "$out"
host=("$build/bin/dockhost.exe" --plugin 'Korimbo\Korimbo.dll' --settings dock.ini)
wine "${host[@]}" --script "Z:$root/tools/dockhost/demo.txt" | tee call-log.txt

echo "== The visible dock: a custom icon and the wallpaper miniature with overlays"
wine "${host[@]}" --run "create 3" --run "create 4" --window --icon-size 128 --screenshot dock.png \
  >> call-log.txt

# The demo set the prefix's wallpaper; tests expect none.
wine reg add 'HKCU\Control Panel\Desktop' /v Wallpaper /d '' /f >/dev/null 2>&1 || true

cmake --build "$build" --target package_zip
echo "demo results: $out (call-log.txt, icon-*.png, dock.png)"
echo "package: $(ls "$root"/dist/Korimbo-*.zip)"
