#!/bin/sh
# Makes a portable program folder: copy it anywhere and it runs, taking its data from the
# tarumin/ folder inside it.
#   scripts/portable.sh DIR
# DIR gets Tarumin, tarumin-import, tarumin-sound.so, tarumin-zip.so, tarumin-picture.so, tarumin/ (the sample data), hash/ (the
# software lists), the sample games, and mess.exe (the openMSX adapter). Nothing already in DIR is replaced.
. "$(dirname "$0")/common.sh"
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
dest=$1
install_packages $BUILD_PACKAGES
configure_and_build "$BUILD" "Tarumin tarumin-import tarumin-zip tarumin-picture tarumin-openmsx"
mkdir -p "$dest"
cp "$BUILD/app/Tarumin" "$BUILD/app/tarumin-import" "$BUILD/app/tarumin-sound.so" "$BUILD/app/tarumin-zip.so" \
    "$BUILD/app/tarumin-picture.so" "$dest/"
cp -Rn "$TOP/sample/." "$dest/"
[ -e "$dest/mess.exe" ] || [ -L "$dest/mess.exe" ] || install -m 755 "$BUILD/app/tarumin-openmsx" "$dest/mess.exe"
echo "Portable folder: $dest (start $dest/Tarumin)"
