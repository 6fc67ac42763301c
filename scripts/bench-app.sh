#!/usr/bin/env bash
# Measures corvelle.exe under Wine on a virtual display beside the floor
# program (bench/app): start-up to the painted main window, a new deal from
# the menu and the selection dialog opened with Ctrl+S, each as ours, the
# floor's and the difference, then corvelle.exe's start-up by step.
# The Wine server, the display and both programs run on one processor
# (--cpu N, the last one by default; --cpu none leaves them unpinned), so
# that their round trips do not wait for a processor to wake up.
# --rounds N (12) starts; --screenshot FILE.bmp also writes the main window;
# --compare PROGRAM measures another build of corvelle.exe in the same
# rounds (before and after a change, same run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cpu=$(( $(nproc) - 1 ))
given=("$@")
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --cpu) cpu=$2; shift 2 ;;
    --rounds) args+=(--rounds "$2"); shift 2 ;;
    --screenshot) args+=(--screenshot "Z:$(realpath -m "$2" | tr / '\\')"); shift 2 ;;
    --compare) args+=(--compare "Z:$(realpath -m "$2" | tr / '\\')"); shift 2 ;;
    *) echo "usage: $0 [--cpu N|none] [--rounds N] [--screenshot FILE.bmp] [--compare OTHER/corvelle.exe]" >&2; exit 2 ;;
  esac
done
if [ "$cpu" != none ] && [ -z "${CORVELLE_BENCH_PINNED:-}" ]; then
  CORVELLE_BENCH_PINNED=1 exec taskset -c "$cpu" "$0" "${given[@]}" --cpu none
fi
export CORVELLE_XVFB=1
source "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start
wine "$build/win/bench/app/bench_app.exe" "${args[@]}"
