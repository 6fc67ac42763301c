#!/usr/bin/env bash
# Builds Corvelle and starts it under Wine in the project's own prefix
# (build/wineprefix). With a display (DISPLAY set) the game opens there;
# without one it runs on a virtual display and writes a screenshot of it to
# build/corvelle-screenshot.png a few seconds after start-up. The script
# returns when the program is closed (or Ctrl+C ends it).
# The host build goes to build/host-plain (no sanitizers), so that this and
# scripts/test.sh (build/host, sanitizers) never rebuild each other's files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
CORVELLE_SANITIZE=OFF "$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
source "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
had_display=${DISPLAY:-}
wine_env_start
wine "$build/win/corvelle.exe" &
program=$!
if [ -z "$had_display" ]; then
  sleep 5
  shot="$build/corvelle-screenshot.png"
  if import -display "$DISPLAY" -window root "$shot" 2>/dev/null; then
    echo "Corvelle runs on the virtual display $DISPLAY; a screenshot is in $shot."
  fi
  echo "Press Ctrl+C to end it."
fi
wait "$program" || true
