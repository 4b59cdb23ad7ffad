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
# The tracked files as they are now (uncommitted changes included), each mutant applied to
# them. A file is copied in only when it differs, with the time of the copy, so that the build
# redoes what changed, a patch taken out included, and nothing else.
mkdir -p "$TREE"
(cd "$TOP" && git ls-files -z) | (cd "$TOP" && xargs -0 sh -c '
    for f; do
        cmp -s "$f" "$0/$f" || { mkdir -p "$0/$(dirname "$f")"; cp "$f" "$0/$f"; }
    done' "$TREE")
[ $# -gt 0 ] || set -- "$TOP"/tests/mutants/*.patch
start=$(date +%s)
run_tests() {
    cmake -S "$TREE" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
        cmake --build "$BUILD" -j "$(nproc)" >"$WORK/$1.build.log" 2>&1 || return 2
    (cd "$BUILD" && QT_QPA_PLATFORM=offscreen ctest -j "$(nproc)" ${MUTANT_TESTS:+-R "$MUTANT_TESTS"} \
        >"$WORK/$1.ctest.log" 2>&1)
}
# Without a slip every test passes, or nothing below would mean anything.
if ! run_tests baseline; then
    echo "the tests fail without any slip: see $WORK/baseline.*.log"
    exit 1
fi
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
    status=0
    run_tests "$name" || status=$?
    case $status in
    0) echo "$name: SURVIVED"
       survived="$survived $name" ;;
    2) echo "$name: killed (does not build)"
       killed=$((killed + 1)) ;;
    *) echo "$name: killed by$(sed -n 's/^[[:space:]]*[0-9]* - \([a-z0-9_]*\) .*/ \1/p' "$WORK/$name.ctest.log" | tr -d '\n')"
       killed=$((killed + 1)) ;;
    esac
    patch -s -R -d "$TREE" -p1 < "$patch"
done
echo "$killed of $# killed in $(( $(date +%s) - start )) s${survived:+; survived:$survived}"
[ -z "$survived" ]
