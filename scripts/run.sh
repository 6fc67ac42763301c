#!/usr/bin/env bash
# Builds and starts Corvelle. Until the main window is built this starts the
# engine's command-line tool on the game database and lists its games. The
# host build goes to build/host-plain (no sanitizers), so that this and
# scripts/test.sh (build/host, sanitizers) never rebuild each other's files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
CORVELLE_SANITIZE=OFF "$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
exec "$build/tools/bin/corvelle-cli" "${@:-list}"
