#!/usr/bin/env bash
# Installs what building and testing need, and nothing that is already there.
# Safe to run again; works as root or through sudo.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

packages=(cmake ninja-build g++-mingw-w64-i686-posix mingw-w64-i686-dev
          libz-mingw-w64-dev googletest wine wine32:i386 xvfb xauth zip unzip
          python3
          fonts-wine)  # Wine's Tahoma, the settings dialog's font

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
