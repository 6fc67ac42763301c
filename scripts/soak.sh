#!/usr/bin/env bash
# The player soak, run by hand (never by the test command):
#   scripts/soak.sh [MINUTES] [SEED] [--from STEP] [--last STEP] [--list N] [--keep-going] [--keep-registry]
# starts corvelle.exe under Wine on its own virtual display (Xvfb,
# 1280x1024x24) and in its own Wine prefix (build/soak/wineprefix), and
# drives it for MINUTES (10) with random real input seeded by SEED (1) from
# the driver process build/win/tests/e2e/soak_driver.exe: play on the field
# in both play modes, every menu command and shortcut, every dialog opened,
# played with and closed, the side panel, the window's size and state,
# second starts, clean restarts and wins. After every step it checks that
# the program runs and answers, that no window of its stays open, that its
# GDI objects, USER handles and windows come back to their level, and that
# every stored preference is in range. The log (one line a step, the checks'
# counts below it, a report at the end) and a screenshot of each fault go to
# build/soak/ (SOAK_DIR names another folder, for a second run beside
# one). The same seed makes the same steps: a failure at step N comes back
# with the same MINUTES and SEED, or with --from N (the steps from N as the
# full run chose them); --list N prints the steps a seed makes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
minutes=${1:-10}
seed=${2:-1}
shift $(( $# < 2 ? $# : 2 ))

"$root/scripts/deps.sh"
if [ ! -f "$build/win/build.ninja" ]; then
  JOBS=${JOBS:-4} "$root/scripts/build.sh"
fi
cmake --build "$build/win" -j "${JOBS:-4}" --target corvelle soak_driver >/dev/null

# The soak runs copies of the program and its driver, so that a build during
# a long run does not rewrite the files it runs.
out=${SOAK_DIR:-$build/soak}
mkdir -p "$out/bin"
cp "$build/win/corvelle.exe" "$build/win/tests/e2e/soak_driver.exe" "$out/bin/"
export CORVELLE_PROGRAM_COPY="Z:$(echo "$out/bin/corvelle.exe" | tr / '\\')"
source "$root/scripts/wine-env.sh"
export WINEPREFIX=$out/wineprefix
export CORVELLE_XVFB=1
trap wine_env_stop EXIT
wine_env_start
echo "soak: $minutes minutes, seed $seed, display $DISPLAY; log $out/soak-$seed.log"
status=0
wine "$out/bin/soak_driver.exe" --minutes "$minutes" --seed "$seed" \
  --folder "Z:$(echo "$out" | tr / '\\')" "$@" || status=$?
exit "$status"
