#!/bin/sh
# The build tools must fail, not succeed quietly, when a file they write
# cannot be flushed: here the last file each one writes lands on a full disk.
#   full_disk_test.sh ARTGEN GAMEC GAMES_FOLDER
set -u
artgen=$1 gamec=$2 games=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0

mkdir "$out/art"
ln -s /dev/full "$out/art/art.rc"
if "$artgen" "$out/art" 2>/dev/null; then
  echo "corvelle-artgen reported success with art.rc on a full disk"; status=1
fi

mkdir "$out/db"
ln -s /dev/full "$out/db/library.txt"
if "$gamec" "$games" "$out/db" "$out/db.rc" 2>/dev/null; then
  echo "corvelle-gamec reported success with library.txt on a full disk"; status=1
fi
exit $status
