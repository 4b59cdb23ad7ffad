#!/bin/sh
# Times Tarumin from exec to its window, first paint and peak memory, side by side with a bare
# Qt window of the same shape (qt-floor), on a full catalogue.
#     tools/bench-start.sh TOOLS [RUNS] [BUILD_DIR]
# TOOLS is the folder holding `time-to-window` and `qt-floor/` (its sources); RUNS defaults
# to 20 and BUILD_DIR to build. Needs xvfb, openbox and python3-xlib.
set -eu
tools=$(cd "$1" && pwd)
runs=${2:-20}
cd "$(dirname "$0")/.."
build=${3:-build}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$tools/qt-floor/make-data.sh" "$tmp/floor-data" >/dev/null
cmake -S "$tools/qt-floor" -B "$tmp/floor-build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$tmp/floor-build" >/dev/null
cp -r "$build/app" "$tmp/program"
tools/full-list.py "$tmp/program/tarumin/list.csv"
"$tools/time-to-window" -n "$runs" --title '^Tarumin' --name tarumin \
    --vs "$tmp/floor-build/qt-floor $tmp/floor-data/list.txt $tmp/floor-data/snapshot.gif" \
    --vs-title '^Floor$' --vs-name floor -- "$tmp/program/Tarumin"
