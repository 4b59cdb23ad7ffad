#!/bin/sh
# The sample games: 16 KB cartridges with the "AB" header and an init address inside the
# cartridge, 720 KB disks whose boot sector is a jump and a 720 KB disk's parameters, tapes
# that start with the tape header and hold one binary file; and, where the build assembled
# them, the same bytes as the images kept in sample/. Every file the sample catalogue names is
# there.
#   roms_test.sh SAMPLE_FOLDER [BUILT_ROMS_FOLDER]
set -u
sample=$1
built=${2:-}
passed=0 failed=0
check() { # file, what is wrong unless the test holds
    eval "$3" || { echo "FAIL: $1: $2"; ok=no; }
}
for image in "$sample"/*.rom "$sample"/*.dsk "$sample"/*.cas; do
    ok=yes
    size=$(wc -c < "$image")
    case $image in
    *.rom)
        check "$image" "not 16 KB" '[ "$size" -eq 16384 ]'
        check "$image" "no AB header" '[ "$(head -c 2 "$image")" = "AB" ]'
        init=$(od -An -tu2 -j2 -N2 "$image" | tr -d ' ')
        check "$image" "init address $init" '[ "$init" -ge 16400 ] && [ "$init" -lt 32768 ]' ;;
    *.dsk)
        check "$image" "not 720 KB" '[ "$size" -eq 737280 ]'
        check "$image" "no boot jump" '[ "$(od -An -tx1 -N3 "$image" | tr -d " ")" = "ebfe90" ]'
        check "$image" "not a 720 KB disk's parameters" '[ "$(od -An -tu2 -j19 -N2 "$image" | tr -d " ")" = 1440 ]' ;;
    *.cas)
        check "$image" "no tape header" '[ "$(od -An -tx1 -N18 "$image" | tr -d " \n")" = 1fa6debacc137d74d0d0d0d0d0d0d0d0d0d0 ]' ;;
    esac
    if [ -n "$built" ] && [ -d "$built" ]; then
        name=$(basename "$image")
        check "$image" "differs from its source (run the build and copy $built/$name)" 'cmp -s "$image" "$built/$name"'
    fi
    if [ $ok = yes ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
# The catalogue's games are all there: a first start shows none missing.
for name in $(tr -d '\r' < "$sample/tarumin/list.csv" | LC_ALL=C awk -F, '{ split($8, w, " "); print w[2] }'); do
    [ -f "$sample/$name" ] || { echo "FAIL: the sample catalogue names $name, which is not in $sample"; failed=$((failed + 1)); }
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
