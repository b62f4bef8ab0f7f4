#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# Extra arguments go to ctest (for instance -R unit_settings).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
configure_and_build
start_display_and_wine
ctest --test-dir "$build" --output-on-failure "$@"
