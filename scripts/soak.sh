#!/usr/bin/env bash
# Builds and runs the soak program: resource figures before and after many
# draws, refreshes, dialog openings and drops. Arguments: draws refreshes
# dialogs drops (defaults 10000 1000 100 100).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
configure_and_build
start_display_and_wine
wine "$build/bin/soak.exe" "$@"
