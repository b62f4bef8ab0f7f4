#!/usr/bin/env bash
# Builds and runs the benchmark programs; figures go to standard output.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
configure_and_build
start_display_and_wine
for program in "$build"/bin/bench_*.exe; do
  [ -e "$program" ] || continue
  echo "== $(basename "$program")"
  wine "$program"
done
