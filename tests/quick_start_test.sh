#!/bin/sh
# The tree the quick start builds (the program alone): the program depends on every module and
# tool it starts or loads, so that they are built with it; the import tool beside it answers.
#   quick_start_test.sh BUILD
set -u
build=$1
failed=0
graph="$build/CMakeFiles/Makefile2"
if [ -f "$graph" ]; then
    for part in tarumin-sound tarumin-zip tarumin-picture tarumin-openmsx tarumin-import; do
        grep -q "^CMakeFiles/Tarumin.dir/all: CMakeFiles/$part.dir/all" "$graph" \
            || { echo "FAIL: building Tarumin does not build $part"; failed=1; }
    done
else
    echo "SKIP: not a Makefile build, the dependencies are not read here"
fi
out=$("$build/app/tarumin-import" --help 2>&1) || { echo "FAIL: tarumin-import --help: $out"; failed=1; }
echo "$out" | grep -q -- '--write' || { echo "FAIL: tarumin-import --help says no --write: $out"; failed=1; }
[ "$failed" -eq 0 ] && echo "quick start tree: passed"
exit "$failed"
