#!/bin/bash
# The install tree: cmake --install under a prefix whose name holds a blank, the files a desktop
# needs (validated), --help and --version without a display, the installed program seeding a
# user's folder at its first start, and a program folder whose name is not text refused.
#
#   install_test.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
pid=
fail() { echo "FAIL: $*"; exit 1; }

prefix="$work/my prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for f in bin/tarumin share/applications/org.tarumin.Tarumin.desktop \
         share/metainfo/org.tarumin.Tarumin.metainfo.xml share/tarumin/tarumin/list.csv \
         share/tarumin/hoshikaze.rom libexec/tarumin/openmsx-adapter; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
for size in 16 22 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/org.tarumin.Tarumin.png"
    [ -e "$icon" ] || fail "no ${size}px icon"
    if command -v identify >/dev/null; then
        [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "${size}px icon has another size"
    fi
done
for module in tarumin-sound tarumin-zip; do
    ls "$prefix"/lib*/tarumin/$module.* >/dev/null 2>&1 || ls "$prefix"/lib/*/tarumin/$module.* >/dev/null 2>&1 \
        || fail "no module $module"
done
"$prefix/bin/tarumin-import" --version >/dev/null || fail "tarumin-import is not installed"
[ -f "$prefix/share/tarumin/hash/msx1_cart.xml" ] || fail "no software lists in the template"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/org.tarumin.Tarumin.desktop" || fail "desktop file"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.tarumin.Tarumin.metainfo.xml" >/dev/null \
        || fail "metainfo: $(appstreamcli validate --no-net "$prefix/share/metainfo/org.tarumin.Tarumin.metainfo.xml")"
fi

# Answers on the terminal, with no display at all.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/tarumin" --version) \
    || fail "--version failed"
[ "$version" = "tarumin 0.9" ] || fail "--version said: $version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/tarumin" --help | grep -q "Usage:" \
    || fail "--help"

# The first start seeds the user's folder from the template; the installed tree is not touched.
home="$work/home"
mkdir -p "$home"
HOME="$home" XDG_DATA_HOME= XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen "$prefix/bin/tarumin" \
    >"$work/log" 2>&1 &
pid=$!
data="$home/.local/share/tarumin"
for _ in $(seq 100); do [ -s "$data/tarumin/list.csv" ] && break; sleep 0.1; done
kill $pid 2>/dev/null; wait $pid 2>/dev/null; pid=
cmp -s "$data/tarumin/list.csv" "$prefix/share/tarumin/tarumin/list.csv" || fail "user's catalogue not seeded"
[ -w "$data/tarumin/list.csv" ] || fail "user's catalogue not writable"
[ "$(readlink "$data/mess.exe")" = "$prefix/libexec/tarumin/openmsx-adapter" ] || fail "mess.exe: $(readlink "$data/mess.exe")"
[ -e "$data/hoshikaze.rom" ] || fail "sample games not seeded"
# The software lists are read where they are installed (a newer package's reach the user).
[ ! -e "$data/hash" ] || fail "software lists copied into the user's folder"

# The installed import tool takes the same folder, finds its zip module and the installed lists,
# and registers a zip.
if command -v zip >/dev/null; then
    (cd "$work" && cp "$prefix/share/tarumin/hanno.rom" . && zip -q hanno.zip hanno.rom)
    # Not in the catalogue yet (else the zip is the same game as its line's file).
    sed -i '/hanno\.rom/d' "$data/tarumin/list.csv"
    out=$(HOME="$home" XDG_DATA_HOME= "$prefix/bin/tarumin-import" "$work/hanno.zip") || fail "tarumin-import: $out"
    echo "$out" | grep -q "tarumin_cart" || fail "tarumin-import did not identify the zip: $out"
fi
[ ! -e "$prefix/bin/tarumin.lock" ] && [ ! -e "$prefix/bin/tarumin/" ] || fail "wrote beside the installed program"

# A folder named in Shift-JIS bytes (ゲーム), as a Windows zip leaves it: refused, nothing made.
odd="$work/$(printf '\203\121\201\133\203\200')"
mkdir -p "$odd/tarumin"
cp "$prefix/bin/tarumin" "$odd/Tarumin"
home2="$work/home2"
mkdir -p "$home2"
HOME="$home2" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen timeout 5 "$odd/Tarumin" >"$work/odd.log" 2>&1
grep -q "フォルダーの名前を文字として読み取れません" "$work/odd.log" || fail "no message: $(cat "$work/odd.log")"
[ -z "$(ls -A "$home2")" ] || fail "made something in the user's home: $(ls -A "$home2")"
[ -z "$(ls -A "$odd/tarumin")" ] || fail "wrote into the odd folder"
echo "install tree: all checks passed"
