#!/bin/sh
# A small mutation check: each patch under tests/mutants/ puts one realistic slip into the
# code; the tree is built with it (incrementally, in build-mutants/) and ctest is run. A slip
# that no test notices survives, and is listed. Not part of CI: it takes several minutes.
#
#   scripts/mutants.sh [PATCH...]      (default: every patch; MUTANT_TESTS=REGEX limits ctest)
. "$(dirname "$0")/common.sh"
install_packages $BUILD_PACKAGES $TEST_PACKAGES patch
WORK="$TOP/build-mutants"
TREE="$WORK/tree"
BUILD="$WORK/build"
mkdir -p "$TREE"
# The tracked files as they are now (uncommitted changes included), each mutant from them.
# Their times are kept: what changed since the last run is rebuilt, the rest is not.
rm -rf "$TREE"
mkdir -p "$TREE"
(cd "$TOP" && git ls-files -z | xargs -0 tar cf -) | tar xf - -C "$TREE"
[ $# -gt 0 ] || set -- "$TOP"/tests/mutants/*.patch
start=$(date +%s)
killed=0
survived=""
for patch in "$@"; do
    name=$(basename "$patch" .patch)
    if ! patch -s -d "$TREE" -p1 < "$patch"; then
        echo "$name: does not apply"
        survived="$survived $name(stale)"
        continue
    fi
    # Taken out again after its run (the file then newer than its object: rebuilt next time).
    if ! { cmake -S "$TREE" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
           cmake --build "$BUILD" -j "$(nproc)" >"$WORK/$name.build.log" 2>&1; }; then
        echo "$name: killed (does not build)"
        killed=$((killed + 1))
    elif (cd "$BUILD" && QT_QPA_PLATFORM=offscreen ctest -j "$(nproc)" ${MUTANT_TESTS:+-R "$MUTANT_TESTS"} \
            >"$WORK/$name.ctest.log" 2>&1); then
        echo "$name: SURVIVED"
        survived="$survived $name"
    else
        echo "$name: killed by$(sed -n 's/^ *[0-9]* - \([a-z0-9_]*\) .*/ \1/p' "$WORK/$name.ctest.log" | tr -d '\n')"
        killed=$((killed + 1))
    fi
    patch -s -R -d "$TREE" -p1 < "$patch"
done
echo "$killed of $# killed in $(( $(date +%s) - start )) s${survived:+; survived:$survived}"
[ -z "$survived" ]
