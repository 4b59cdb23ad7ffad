#!/bin/sh
# The manual pages stay in step with the programs: every option that --help lists is in the
# page (tools/make-man.sh writes them anew).
#   man_test.sh PROGRAM_FOLDER SOURCE_DIR
set -u
app=$1
src=$2
status=0
for pair in Tarumin:tarumin tarumin-import:tarumin-import; do
    program=${pair%%:*}
    page="$src/dist/man/${pair#*:}.1"
    text=$(sed 's/\\-/-/g; s/\\f[BIR]//g' "$page")
    for option in $("$app/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        case "$text" in
            *"$option"*) ;;
            *) echo "FAIL: $option of $program --help is not in $page (run tools/make-man.sh)"; status=1 ;;
        esac
    done
done
[ "$status" -eq 0 ] && echo "manual pages: every option there"
exit "$status"
