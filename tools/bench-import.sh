#!/bin/sh
# Times tarumin-import (a dry run) against sha1sum on the same 1,000 game files, 356 MB in all,
# side by side in one run, warm cache: figures to read, not a test.
#   tools/bench-import.sh [BUILD_DIR]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog/tarumin" "$work/games"
cp -r "$top/sample/hash" "$work/prog/"
# 1,000 files of 128 KB to 584 KB (356 MB), each different.
python3 - "$work/games" <<'PY'
import os, sys
folder = sys.argv[1]
for i in range(1000):
    size = 128 * 1024 + (i * 467) % (456 * 1024)
    with open(os.path.join(folder, "game%04d.rom" % i), "wb") as f:
        f.write(os.urandom(64) + bytes(size - 64))
PY
du -sh "$work/games" | sed 's/^/files: /'
cat "$work/games"/* > /dev/null
best() { # the best of five runs, in seconds
    b=999
    for _ in 1 2 3 4 5; do
        s=$(date +%s.%N); "$@" > /dev/null 2>&1; e=$(date +%s.%N)
        b=$(echo "$e - $s" | bc -l | awk -v b="$b" '{print ($1 < b) ? $1 : b}')
    done
    echo "$b"
}
sha=$(best sh -c "sha1sum '$work'/games/* ")
imp=$(best "$build/app/tarumin-import" --folder "$work/prog" "$work/games")
echo "sha1sum:        $sha s"
echo "tarumin-import: $imp s (dry run, reading the shipped lists and openMSX's database too)"
echo "ratio:          $(echo "$imp / $sha" | bc -l | cut -c1-4) (goal: at most 0.5)"
