#!/bin/sh
# Makes the snapshots of the sample cartridges from the games themselves: each runs in openMSX
# (C-BIOS) under a virtual display for a few seconds, openMSX saves its screen, and the
# 256 x 192 picture inside the border becomes tarumin/snap/<game>.gif.
# Needs openmsx, cbios, xvfb and ImageMagick.
set -eu
cd "$(dirname "$0")/.."
out=sample/tarumin/snap
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for game in hoshikaze hanno; do
    xvfb-run -a openmsx -machine C-BIOS_MSX2_JP -cart "sample/$game.rom" \
        -command "after time 5 {screenshot -raw $tmp/$game.png; exit}" >/dev/null 2>&1 || true
    [ -f "$tmp/$game.png" ] || { echo "no screenshot of $game" >&2; exit 1; }
    /usr/bin/convert "$tmp/$game.png" -crop 256x192+32+24 +repage -colors 16 "$out/$game.gif"
    echo "$out/$game.gif"
done
