#!/bin/sh
# Writes the manual pages of tarumin and tarumin-import (dist/man/*.1) from their --help, with
# help2man. The pages are kept in the repository; the man_pages test fails when an option of
# --help is missing from them, so run this again after changing the options.
#   tools/make-man.sh [BUILD_DIR]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
mkdir -p "$top/dist/man"
TARUMIN_LANG=en help2man --no-info --section 1 --source "Tarumin 0.9" \
    --name "a catalogue of MSX games that starts them in an emulator" \
    --output "$top/dist/man/tarumin.1" "$build/app/Tarumin"
# The installed command is tarumin, whatever the built program is called.
sed -i 's/^\.B Tarumin$/.B tarumin/' "$top/dist/man/tarumin.1"
TARUMIN_LANG=en help2man --no-info --section 1 --source "Tarumin 0.9" \
    --name "identify MSX game files and register them in Tarumin's catalogue" \
    --output "$top/dist/man/tarumin-import.1" "$build/app/tarumin-import"
