#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UBSan on) and
# runs each for a while. Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# Targets: fuzz_record (the record loader), fuzz_rules (the rule interpreter),
# fuzz_play (random player steps and undo), fuzz_gamec (the game compiler
# over game-file text), fuzz_stored (what the program reads back from the
# registry: preferences, statistics, best times, saved games). Default: 600
# seconds each, all five, one after another; FUZZ_PARALLEL=1 runs them side
# by side.
# The corpus is kept in build/fuzz/corpus, findings go to build/fuzz/findings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_record fuzz_rules fuzz_play fuzz_gamec fuzz_stored)
build=${BUILD_DIR:-$root/build}/fuzz

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang libclang-rt-dev >/dev/null
fi
"$root/scripts/deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCORVELLE_SANITIZE=ON -DCORVELLE_FUZZ=ON -DCORVELLE_TESTS=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-4}" --target fuzz_seeds "${targets[@]}"

corpus=$build/corpus
findings=$build/findings
mkdir -p "$findings"
[ -d "$corpus/stored" ] || "$build/bin/fuzz_seeds" "$corpus"

run() {
  local target=$1 dir
  case $target in
    fuzz_record) dir=record ;;
    fuzz_rules) dir=rules ;;
    fuzz_play) dir=play ;;
    fuzz_gamec) dir=gamec ;;
    fuzz_stored) dir=stored ;;
    *) echo "unknown target $target" >&2; return 2 ;;
  esac
  mkdir -p "$findings/$target"
  echo "== $target: $seconds s"
  # A record whose programs all run to the interpreter's work budget, in
  # every one of the 256 automatic passes a step allows, takes up to 2 s per
  # input plain and 40 s under the sanitizers and coverage on a busy
  # machine: hence -timeout=120.
  "$build/bin/$target" -max_total_time="$seconds" -timeout=120 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$findings/$target/" -print_final_stats=1 "$corpus/$dir" \
    >"$build/$target.log" 2>&1 || { echo "$target: FINDING (see $build/$target.log)"; tail -40 "$build/$target.log"; return 1; }
  grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|Done ' "$build/$target.log" || true
}

status=0
if [ "${FUZZ_PARALLEL:-0}" = 1 ]; then
  pids=()
  for t in "${targets[@]}"; do run "$t" & pids+=($!); done
  for p in "${pids[@]}"; do wait "$p" || status=1; done
else
  for t in "${targets[@]}"; do run "$t" || status=1; done
fi
exit $status
