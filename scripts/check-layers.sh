#!/usr/bin/env bash
# Checks the include order of the source folders: a folder includes only the
# folders below it that the table here names, so no two folders include each
# other. It reads every quoted #include of every source and resource script:
# "folder/file" names a folder (a path with ../ is resolved first); a name
# without a folder must, in the program's folders, be a file beside the one
# that includes it (res/ may also take in the generated art.rc and gamedb.rc).
# Each include that breaks the order is named with its file and line, and the
# check fails. Fast and needs no build: the test command runs it first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# folder: the folders it may include (besides itself), lowest first.
layers='
engine:
platform:
res:
writer: engine
models: engine writer
logic: engine res
field: engine platform res logic
panels: engine platform res logic field
app: engine platform res logic field panels
tools: engine platform res writer models logic field panels app
tests: engine platform res writer models logic field panels app tools
bench: engine platform res writer models logic field panels app tools
fuzz: engine platform res writer models logic field panels app tools
'
# Folders whose bare includes must be their own files (the rest reach their
# helpers through include paths of their own).
program='engine platform res writer models logic field panels app'

folders=$(echo "$layers" | sed -n 's/:.*//p')
# shellcheck disable=SC2086
mapfile -d '' files < <(find $folders -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cc' \
  -o -name '*.cpp' -o -name '*.inc' -o -name '*.rc' \) -print0 | sort -z)
awk -v layers="$layers" -v program="$program" '
function resolve(path,    n, parts, out, k, i) {
  n = split(path, parts, "/"); k = 0
  for (i = 1; i <= n; i++) {
    if (parts[i] == "." || parts[i] == "") continue
    if (parts[i] == "..") { if (k > 0) k--; continue }
    out[++k] = parts[i]
  }
  path = ""
  for (i = 1; i <= k; i++) path = path (i > 1 ? "/" : "") out[i]
  return path
}
function exists(path,    line, r) {
  r = (getline line < path); close(path)
  return r >= 0
}
BEGIN {
  n = split(layers, rows, "\n")
  for (i = 1; i <= n; i++) {
    if (rows[i] !~ /:/) continue
    split(rows[i], kv, ":"); known[kv[1]] = 1
    m = split(kv[2], below, " ")
    for (j = 1; j <= m; j++) may[kv[1], below[j]] = 1
  }
  m = split(program, p, " ")
  for (j = 1; j <= m; j++) inProgram[p[j]] = 1
  bad = 0
}
/^[ \t]*#[ \t]*include[ \t]*"/ {
  inc = $0; sub(/^[^"]*"/, "", inc); sub(/".*$/, "", inc)
  from = FILENAME; sub(/\/.*$/, "", from)
  dir = FILENAME; sub(/\/[^\/]*$/, "", dir)
  if (inc ~ /^\.\.?\//) inc = resolve(dir "/" inc)
  if (inc !~ /\//) {
    if (!inProgram[from] || exists(dir "/" inc)) next
    if (from == "res" && (inc == "art.rc" || inc == "gamedb.rc")) next
    printf "%s:%d: includes \"%s\", which is not a file of %s/\n", FILENAME, FNR, inc, dir
    bad = 1; next
  }
  to = inc; sub(/\/.*$/, "", to)
  if (!known[to] || to == from || may[from, to]) next
  printf "%s:%d: %s/ may not include %s/ (\"%s\")\n", FILENAME, FNR, from, to, inc
  bad = 1
}
END {
  if (bad) {
    print "check-layers: an include breaks the folder order (see scripts/check-layers.sh and the README)"
    exit 1
  }
}' "${files[@]}"
