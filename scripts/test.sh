#!/usr/bin/env bash
# Checks the folders' include order, builds everything and runs every test:
# the host tests (with AddressSanitizer and UndefinedBehaviorSanitizer) and
# the Windows tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
echo "== include order of the folders"
"$root/scripts/check-layers.sh"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}

echo "== host tests (sanitizers)"
ctest --test-dir "$build/host" -j "$jobs" --output-on-failure --timeout 600

echo "== game library checks"
ctest --test-dir "$build/tools" -L games -j "$jobs" --output-on-failure --timeout 900

echo "== Windows tests (Wine)"
source "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start
# A Wine process now and then fails to start under load. Only such a test
# (its output empty or only Wine's own complaints, without GoogleTest's
# banner) is run once more, and each one is named here; any other failure
# stands.
status=0
ctest --test-dir "$build/win" -j "$jobs" --output-on-failure --timeout 600 || status=$?
if [ $status -ne 0 ]; then
  log=$build/win/Testing/Temporary/LastTest.log
  failed=$(awk '/^[0-9]+\/[0-9]+ Test: /{n=$0; sub(/^[0-9]+\/[0-9]+ Test: /, "", n)}
    /^Test Failed/{print n}' "$log" | sort -u)
  unstarted=$(awk '
    /^[0-9]+\/[0-9]+ Test: /{n=$0; sub(/^[0-9]+\/[0-9]+ Test: /, "", n); out=""; inside=0; next}
    /^Output:$/{inside=1; getline; next}
    /^<end of output>$/{inside=0; next}
    inside{out=out $0 "\n"; next}
    /^Test Failed/{
      rest=out; gsub(/(^|\n)(wine(server)?: |wine client error)[^\n]*/, "", rest)
      if (out !~ /\[==========\]/ && rest ~ /^[ \t\r\n]*$/) print n
    }' "$log" | sort -u)
  if [ -z "$failed" ] || [ "$failed" != "$unstarted" ]; then exit $status; fi
  echo "== retrying tests whose Wine process did not start:"
  echo "$unstarted" | sed 's/^/   /'
  regex=$(echo "$unstarted" | sed 's/[][\.*^$+?(){}|]/\\&/g' | paste -sd'|')
  ctest --test-dir "$build/win" -j "$jobs" --output-on-failure --timeout 600 -R "^($regex)\$"
fi
