#!/usr/bin/env bash
# Times each game's library check alone, one after another, and writes the
# seconds to games/check-costs.txt, from which the test command's checks
# take their COST (cmake/gamedb.cmake): with -j, ctest starts the slowest
# first. Run after adding games; the order is all it changes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cli=$build/tools/bin/corvelle-cli
db=$build/tools/gamedb
[ -x "$cli" ] || { echo "build first: $cli is missing" >&2; exit 1; }
out=$root/games/check-costs.txt
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
{
  echo "# Seconds of each game's library check run alone (scripts/check-costs.sh)."
  for file in "$root"/games/*.game; do
    key=$(basename "$file" .game)
    start=$(date +%s.%N)
    "$cli" --db "$db" check "$key" >/dev/null || true
    end=$(date +%s.%N)
    awk -v k="$key" -v s="$start" -v e="$end" 'BEGIN { printf "%s %.2f\n", k, e - s }'
  done
} >"$tmp"
mv "$tmp" "$out"
trap - EXIT
echo "wrote $out"
