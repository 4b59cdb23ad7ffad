#!/bin/sh
# Builds the libFuzzer target with clang, replays the seed corpus, then fuzzes for a bounded
# time (seconds, default 60). New inputs go to build-fuzz/corpus, not into the repository.
#   scripts/fuzz.sh [SECONDS]
. "$(dirname "$0")/common.sh"
seconds=${1:-60}
install_packages clang libclang-rt-14-dev qt6-base-dev cmake make
export CC=clang CXX=clang++
configure_and_build "$TOP/build-fuzz" fuzz_catalogue -DTARUMIN_FUZZ=ON
mkdir -p "$TOP/build-fuzz/corpus"
cd "$TOP/build-fuzz"
echo "Replaying the seed corpus:"
./fuzz_catalogue "$TOP/tests/fuzz/corpus"/*
echo "Fuzzing for $seconds s:"
# The fuzzer's own status decides: a crash or a failed check must fail the run.
status=0
./fuzz_catalogue -max_total_time="$seconds" -print_final_stats=1 corpus "$TOP/tests/fuzz/corpus" \
    > fuzz.log 2>&1 || status=$?
tail -n 25 fuzz.log
exit "$status"
