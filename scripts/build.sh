#!/usr/bin/env bash
# Builds both halves: the host build (engine tests; build/host with the
# sanitizers, build/host-plain without, so that switching the setting never
# rebuilds the other), the optimised tools and benchmarks in build/tools and
# the Windows build in build/win. BUILD_DIR moves them all.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}
sanitize=${CORVELLE_SANITIZE:-ON}

host=$build/host
[ "$sanitize" = ON ] || host=$build/host-plain
cmake -S "$root" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVELLE_SANITIZE="$sanitize" >/dev/null
cmake --build "$host" -j "$jobs"
# Tools used at build time and benchmarks are also built without sanitizers.
cmake -S "$root" -B "$build/tools" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVELLE_TESTS=OFF -DCORVELLE_GAME_CHECKS=ON >/dev/null
cmake --build "$build/tools" -j "$jobs"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCORVELLE_HOST_BIN="$build/tools/bin" >/dev/null
cmake --build "$build/win" -j "$jobs"
