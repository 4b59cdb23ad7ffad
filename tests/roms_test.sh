#!/bin/sh
# The sample cartridges: 16 KB images with the "AB" header and an init address inside the
# cartridge, and, where the build assembled them, the same bytes as the images kept in sample/.
#   roms_test.sh SAMPLE_FOLDER [BUILT_ROMS_FOLDER]
set -u
sample=$1
built=${2:-}
passed=0 failed=0
for game in hoshikaze hanno; do
    rom="$sample/$game.rom"
    ok=yes
    [ "$(wc -c < "$rom")" -eq 16384 ] || { echo "FAIL: $rom is not 16 KB"; ok=no; }
    [ "$(head -c 2 "$rom")" = "AB" ] || { echo "FAIL: $rom has no AB header"; ok=no; }
    init=$(od -An -tu2 -j2 -N2 "$rom" | tr -d ' ')
    { [ "$init" -ge 16400 ] && [ "$init" -lt 32768 ]; } || { echo "FAIL: $rom init address $init"; ok=no; }
    if [ -n "$built" ] && [ -f "$built/$game.rom" ]; then
        cmp -s "$rom" "$built/$game.rom" || { echo "FAIL: $rom differs from its source (run the build and copy $built/$game.rom)"; ok=no; }
    fi
    if [ $ok = yes ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
