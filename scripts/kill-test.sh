#!/usr/bin/env bash
# Kills corvelle.exe at random moments (during a step, a save, a dialog, a
# new deal, an undo, a start-up, a close) and checks every start that
# follows: a usable window with the saved game restored whole or a new deal,
# never a crash and never a save cut short taken as good. Run by hand, not
# by the test command (about ten seconds a kill):
#   scripts/kill-test.sh [KILLS] [SEED]     (200 kills and seed 1 by default)
# It runs in its own Wine prefix (build/kill-test/wineprefix). Its log,
# one line a round, goes to build/kill-test.log; a failure names
# its round, so that a run can be replayed from its seed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
kills=${1:-200}
seed=${2:-1}
cmake --build "$build/win" --target corvelle e2e_kill_driver >/dev/null
export CORVELLE_XVFB=1
source "$root/scripts/wine-env.sh"
# Its own prefix, so that it can run beside the tests.
export WINEPREFIX=$build/kill-test/wineprefix
trap wine_env_stop EXIT
wine_env_start
log=$build/kill-test.log
status=0
wine "$build/win/tests/e2e/e2e_kill_driver.exe" "$kills" "$seed" "Z:$(realpath -m "$log" | tr / '\\')" || status=$?
sed -n '/^kills by moment/,$p' "$log"
exit $status
