#!/usr/bin/env bash
# Builds both halves: the host build (tools, engine tests, benchmarks) in
# build/host and the Windows build in build/win. BUILD_DIR moves both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}
sanitize=${CORVELLE_SANITIZE:-ON}

cmake -S "$root" -B "$build/host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVELLE_SANITIZE="$sanitize" >/dev/null
cmake --build "$build/host" -j "$jobs"
# Tools used at build time and benchmarks are also built without sanitizers.
cmake -S "$root" -B "$build/tools" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVELLE_TESTS=OFF -DCORVELLE_GAME_CHECKS=ON >/dev/null
cmake --build "$build/tools" -j "$jobs"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCORVELLE_HOST_BIN="$build/tools/bin" >/dev/null
cmake --build "$build/win" -j "$jobs"
