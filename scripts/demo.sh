#!/usr/bin/env bash
# The main job: installs what is missing, builds, and runs Korimbo.dll in the
# dock host emulator with the demo script. Results go to build/demo/.
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
wine "$build/bin/dockhost.exe" --plugin 'Korimbo\Korimbo.dll' --settings dock.ini \
     --script "Z:$root/tools/dockhost/demo.txt" | tee call-log.txt
echo "demo results: $out"
