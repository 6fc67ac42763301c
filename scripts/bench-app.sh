#!/usr/bin/env bash
# Measures corvelle.exe under Wine on a virtual display: start-up to the
# painted main window and a new deal from the menu (bench/app). With
# --screenshot FILE.bmp it also writes the main window as shown.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export CORVELLE_XVFB=1
source "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start
args=()
if [ "${1:-}" = --screenshot ] && [ -n "${2:-}" ]; then
  args=(--screenshot "Z:$(realpath -m "$2" | tr / '\\')")
fi
wine "$build/win/bench/app/bench_app.exe" "${args[@]}"
