#!/bin/bash
# The Windows build under Wine: every test program built for Windows, run with a Japanese
# locale (ANSI code page 932) and a Western one (1252), then the portable folder's Tarumin.exe
# on a virtual display: the window with its Japanese list, a game chosen from the keyboard,
# the power switch, and the command line a stand-in mess.exe gets; and its tarumin-import.exe.
#
#   tests/windows_test.sh BUILD_WIN QT_PREFIX PORTABLE_FOLDER MINGW_RUNTIME
set -u
WIN=$1 QT_PREFIX=$2 PORTABLE=$3 MINGW_RUNTIME=$4
export WINEPREFIX="$WIN/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
failed=0
fail() { echo "FAIL: $*"; failed=1; }
# shown PATTERN: the first visible window whose name matches, waited for up to two minutes
# (Wine starts slowly on a busy machine); nothing when none came.
shown() {
    local id=""
    for _ in $(seq 1200); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [ -n "$id" ] && break
        sleep 0.1
    done
    printf '%s' "$id"
}

# Locales whose code pages Wine takes: generated into a folder of ours.
export LOCPATH="$WIN/locale"
for l in ja_JP en_US; do
    [ -d "$LOCPATH/$l.UTF-8" ] || { mkdir -p "$LOCPATH"; localedef -i "$l" -f UTF-8 "$LOCPATH/$l.UTF-8" 2>/dev/null; }
done

# A prefix of our own, with the Japanese fonts Windows programs ask for mapped to IPA Gothic.
if [ ! -f "$WINEPREFIX/.tarumin" ]; then
    rm -rf "$WINEPREFIX"
    LANG=ja_JP.UTF-8 wineboot -i >/dev/null 2>&1
    for font in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo" "Meiryo UI" "Yu Gothic UI"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.tarumin"
fi

# The test programs and the import tool they run, with what they load beside them.
tests="$WIN/build/tests"
top=$(cd "$(dirname "$0")/.." && pwd)
sh "$top/scripts/windows-deploy.sh" "$tests" "$QT_PREFIX" test
sh "$top/scripts/windows-deploy.sh" "$WIN/build/app" "$QT_PREFIX"
cp "$WIN"/build/app/tarumin-*.dll "$tests/" 2>/dev/null

# start_first_game WINDOW LAUNCHES: the list clicked, Home chooses its first game and the power
# switch starts it, again until the stand-in emulator has written its command line (a click
# may be lost while Wine is still settling the window on a busy machine).
start_first_game() {
    for _ in $(seq 50); do
        xdotool mousemove --sync --window "$1" 60 57 click 1 key --window "$1" Home
        xdotool mousemove --sync --window "$1" 59 399 click 1
        for _ in $(seq 20); do [ -s "$2" ] && return; sleep 0.1; done
    done
}

# run_test EXE LOCALE [ARGS]: one test program, in the program's Japanese (as ctest runs them).
run_test() {
    local exe=$1 locale=$2 name out status
    name=$(basename "$exe" .exe)
    out="$WIN/$name.$locale.txt"
    rm -f "$out"
    (cd "$tests" && LANG=$locale TARUMIN_LANG=ja TARUMIN_CHANGES=100 timeout 300 wine "$exe" "${@:3}" -o "$(winepath -w "$out")",txt >/dev/null 2>&1)
    status=$?
    totals=$(grep -a '^Totals' "$out" 2>/dev/null | tr -d '\r')
    echo "$locale $name: ${totals:-no result} (exit $status)"
    if [ "$status" -ne 0 ]; then
        grep -a -A2 '^FAIL' "$out" 2>/dev/null | tr -d '\r' | sed 's/^/    /'
        fail "$name under $locale"
    fi
}
for locale in ja_JP.UTF-8 en_US.UTF-8; do
    for exe in "$tests"/test_*.exe; do
        name=$(basename "$exe" .exe)
        # The labels are measured with Windows' own fonts, on the display below.
        [ "$name" = test_translations ] && continue
        args=()
        grep -q "QTEST_MAIN" "$(dirname "$0")/$name.cpp" && args=(-platform offscreen)
        run_test "$exe" "$locale" "${args[@]}"
    done
done

# The program itself, unpacked as a user would, with a stand-in emulator.
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wineserver -k 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
unzip -q "$PORTABLE.zip" -d "$work"
folder="$work/$(basename "$PORTABLE")"
x86_64-w64-mingw32-gcc-posix -O2 -o "$folder/mess.exe" "$(dirname "$0")/windows/stand_in_mess.c" || fail "stand-in mess.exe"
# Large enough for the window at 200 %.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
# Every label of both languages fits its place, measured with the fonts Windows gives the
# program (the offscreen platform has other ones), with either code page.
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
set_dpi 96
for locale in ja_JP.UTF-8 en_US.UTF-8; do
    run_test "$tests/test_translations.exe" "$locale"
done
(cd "$folder" && LANG=ja_JP.UTF-8 exec wine Tarumin.exe) >"$work/app.log" 2>&1 &
pids+=($!)
# through_adapter EMULATOR PATTERN: the power switch once more, the command line the stand-in
# emulator got matched against the pattern; the emulator goes afterwards.
through_adapter() {
    rm -f "$folder/launches.txt"
    xdotool mousemove --sync --window "$main" 59 399 click 1
    for _ in $(seq 600); do [ -s "$folder/launches.txt" ] && break; sleep 0.1; done
    got=$(head -n 1 "$folder/launches.txt" 2>/dev/null | tr -d '\r\n')
    echo "$1 got: $got"
    eval "case \"\$got\" in $2) ;; *) fail \"the bundled adapter gave $1 '\$got'\" ;; esac"
    rm -f "$folder/$1"
}
main=$(shown '^Tarumin')
if [ -z "$main" ]; then
    fail "Tarumin.exe showed no window under Wine"
else
    sleep 2
    import -window root "$WIN/wine-screenshot.png" 2>/dev/null
    echo "screenshot: $WIN/wine-screenshot.png"
    start_first_game "$main" "$folder/launches.txt"
    got=$(head -n 1 "$folder/launches.txt" 2>/dev/null | tr -d '\r\n')
    want="$(winepath -w "$folder" 2>/dev/null | tr -d '\r')\\mess.exe MSX2J -cart hoshikaze.rom"
    echo "mess.exe got: $got"
    [ "$got" = "$want" ] || fail "command line: '$got', not '$want'"
    # A folder without a mess.exe of its own: the bundled adapter plays, through the openMSX
    # it finds beside it (the same stand-in, recording its command line), else through MAME (a
    # stand-in that owns the FS-A1).
    mv "$folder/mess.exe" "$folder/openmsx.exe"
    through_adapter openmsx.exe '*openmsx.exe*" -machine C-BIOS_MSX2_JP -cart hoshikaze.rom"'
    x86_64-w64-mingw32-gcc-posix -O2 -DSTAND_IN_MAME -o "$folder/mame.exe" "$(dirname "$0")/windows/stand_in_mess.c" \
        || fail "stand-in mame.exe"
    through_adapter mame.exe '*mame.exe*" fsa1 -cart1 "*"\hoshikaze.rom"'
fi

# The import tool from the same folder, with a Western code page (and so in English): a zip
# (read by libzip, hashed by CNG) registered under a Japanese name, a game already there named
# as such. The zip's game
# leaves the catalogue first (else the zip is found to be the same game as its line's file).
sed -i '/hanno\.rom/d' "$folder/tarumin/list.csv"
(cd "$folder" && cp hanno.rom はんの.rom && zip -q はんの.zip はんの.rom && rm はんの.rom)
out=$(cd "$folder" && LANG=en_US.UTF-8 timeout 120 wine tarumin-import.exe --write はんの.zip hoshikaze.rom 2>&1 | tr -d '\r')
echo "$out" | sed 's/^/    tarumin-import: /'
line='反応テスト,ROM,2026年,たるみんソフト,,Hanno Test (Tarumin sample),はんの,-cart はんの.zip'
want=$(printf '%s\r\n' "$line" | iconv -f UTF-8 -t CP932 | od -An -tx1)
got=$(tail -c "$(printf '%s\r\n' "$line" | iconv -f UTF-8 -t CP932 | wc -c)" "$folder/tarumin/list.csv" | od -An -tx1)
case "$out" in
*Identified*はんの.zip*Already\ listed*hoshikaze.rom*) ;;
*) fail "tarumin-import.exe said something else (in English, as the system is)" ;;
esac
# With a Japanese system it speaks Japanese.
out=$(cd "$folder" && LANG=ja_JP.UTF-8 timeout 120 wine tarumin-import.exe hoshikaze.rom 2>&1 | tr -d '\r')
case "$out" in
*登録済みです*hoshikaze.rom*) ;;
*) fail "tarumin-import.exe under a Japanese system said: $out" ;;
esac
[ "$got" = "$want" ] || fail "tarumin-import.exe did not append the zip's line in CP932"

# The window at 100, 125, 150 and 200 % (Wine's LogPixels): the fixed layout scales as a whole,
# its client area 566 x 428 times the scale (within a pixel).
for dpi in 96 120 144 192; do
    set_dpi "$dpi"
    (cd "$folder" && LANG=ja_JP.UTF-8 exec wine Tarumin.exe) >"$work/dpi.log" 2>&1 &
    scaled=$(shown '^Tarumin')
    if [ -z "$scaled" ]; then
        import -window root "$WIN/wine-$dpi-dpi-failed.png" 2>/dev/null
        tail -n 5 "$work/dpi.log" | sed 's/^/    /'
        fail "no window at $dpi dpi (the screen: $WIN/wine-$dpi-dpi-failed.png)"
        continue
    fi
    size=$(xwininfo -id "$scaled" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
    want_w=$((566 * dpi / 96)) want_h=$((428 * dpi / 96))
    echo "window at $dpi dpi: $size (want $want_w $want_h)"
    set -- $size
    [ "${1:-0}" -ge $((want_w - 1)) ] && [ "${1:-0}" -le $((want_w + 1)) ] && [ "${2:-0}" -ge $((want_h - 1)) ] \
        && [ "${2:-0}" -le $((want_h + 1)) ] || fail "the window at $dpi dpi is $size, not $want_w x $want_h"
    case $dpi in 96|144)
        sleep 2
        import -window "$scaled" "$WIN/wine-$dpi-dpi.png" 2>/dev/null && echo "screenshot: $WIN/wine-$dpi-dpi.png" ;;
    esac
done
set_dpi 96
# With a Western system (code page 1252) the window speaks English.
(cd "$folder" && LANG=en_US.UTF-8 exec wine Tarumin.exe) >"$work/english.log" 2>&1 &
english=$(shown '^Tarumin \(Ver 0\.9\)$')
if [ -z "$english" ]; then
    fail "no English window under a Western system"
else
    sleep 2
    import -window "$english" "$WIN/wine-english.png" 2>/dev/null && echo "screenshot: $WIN/wine-english.png"
fi
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null

# Each program says who it is: its version resource (product, version, description) and its
# manifest (per-monitor DPI awareness), as Explorer reads them.
version=$(basename "$PORTABLE" | sed 's/^Tarumin-\(.*\)-win64$/\1/')
for exe in Tarumin.exe tarumin-import.exe tarumin-openmsx.exe; do
    words=$(x86_64-w64-mingw32-strings -n 3 -el "$PORTABLE/$exe")
    for want in ProductName Tarumin ProductVersion "$version" FileDescription; do
        printf '%s\n' "$words" | grep -qx -- "$want" || fail "$exe: no \"$want\" in its version resource"
    done
    x86_64-w64-mingw32-strings -a "$PORTABLE/$exe" | grep -q PerMonitorV2 || fail "$exe: no manifest"
done

# The package managers' manifests: every field winget and Scoop require, the files' SHA-256.
manifests="$WIN/manifests"
need() { # FILE FIELD...
    for field in "${@:2}"; do grep -q "^ *-\? *$field" "$manifests/$1" 2>/dev/null || fail "$1: no $field"; done
}
need winget/Tarumin.Tarumin.yaml PackageIdentifier: "PackageVersion: \"$version\"" DefaultLocale: \
    "ManifestType: version" ManifestVersion:
need winget/Tarumin.Tarumin.installer.yaml PackageIdentifier: "PackageVersion: \"$version\"" \
    "InstallerType: nullsoft" "Scope: user" "Silent: /S" "Architecture: x64" "InstallerUrl: https://" \
    "InstallerSha256: $(sha256sum "$WIN/Tarumin-$version-setup.exe" | cut -d' ' -f1 | tr a-f A-F)" \
    "ManifestType: installer" ManifestVersion:
need winget/Tarumin.Tarumin.locale.ja-JP.yaml PackageIdentifier: PackageLocale: Publisher: PackageName: \
    License: ShortDescription: "ManifestType: defaultLocale" ManifestVersion:
need scoop/tarumin.json "\"version\": \"$version\"" '"url": "https://' '"persist": "tarumin"' '"license"' \
    "\"hash\": \"$(sha256sum "$PORTABLE.zip" | cut -d' ' -f1)\""
grep -rq '@[A-Z_0-9]*@' "$manifests" && fail "a manifest still holds a placeholder"
if command -v python3 >/dev/null; then
    python3 -m json.tool "$manifests/scoop/tarumin.json" >/dev/null || fail "Scoop's manifest is not JSON"
fi

# The setup program, as a package manager runs it (/S): installed for this user without an
# administrator, with its entry in "Apps"; the user's folder (%APPDATA%\tarumin) seeded at the
# first start; an install over it keeps the user's data; the uninstaller takes the program and
# leaves the data and what the user put in the program's folder.
setup=$(ls "$WIN"/Tarumin-*-setup.exe 2>/dev/null | head -n 1)
winfolder() { winepath -u "$(wine cmd /c "echo $1" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
installed="$(winfolder '%LOCALAPPDATA%')/Programs/Tarumin"
data="$(winfolder '%APPDATA%')/tarumin"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarumin'
if [ -z "$setup" ]; then
    fail "no setup program in $WIN"
elif [ "$installed" = /Programs/Tarumin ] || [ "$data" = /tarumin ]; then
    fail "Wine names no user folders"
else
    rm -rf "$installed" "$data"
    timeout 120 wine "$setup" /S || fail "the setup program failed"
    [ -f "$installed/Tarumin.exe" ] && [ -f "$installed/template/tarumin/list.csv" ] || fail "the setup program installed nothing"
    entry=$(wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r')
    for want in "DisplayName REG_SZ Tarumin" "DisplayVersion REG_SZ $version" \
                "Publisher REG_SZ The Tarumin developers" "QuietUninstallString REG_SZ .*uninstall.exe\" /S"; do
        printf '%s\n' "$entry" | sed 's/  */ /g; s/^ //' | grep -q "^$want" || fail "the entry in Apps lacks $want"
    done
    out=$(cd "$installed" && timeout 120 wine tarumin-import.exe 'template\hoshikaze.rom' 2>&1 | tr -d '\r')
    [ -f "$data/tarumin/list.csv" ] || fail "the user's folder was not seeded: $out"
    cmp -s "$data/tarumin/list.csv" "$installed/template/tarumin/list.csv" || fail "the user's catalogue is not the template's"
    # Started as the Start menu starts it, with the user's own mess.exe in their folder: the
    # first game chosen and started.
    shortcut="$(winfolder '%APPDATA%')/Microsoft/Windows/Start Menu/Programs/Tarumin.lnk"
    x86_64-w64-mingw32-gcc-posix -O2 -o "$data/mess.exe" "$(dirname "$0")/windows/stand_in_mess.c" \
        || fail "stand-in mess.exe for the installed copy"
    rm -f "$data/launches.txt"
    if [ ! -f "$shortcut" ]; then
        fail "no Start menu shortcut"
    else
        (LANG=ja_JP.UTF-8 wine start "$(winepath -w "$shortcut")") >"$work/installed.log" 2>&1
        installed_main=$(shown '^Tarumin')
        if [ -z "$installed_main" ]; then
            fail "the Start menu shortcut showed no window"
        else
            start_first_game "$installed_main" "$data/launches.txt"
            got=$(head -n 1 "$data/launches.txt" 2>/dev/null | tr -d '\r\n')
            echo "installed copy's mess.exe got: $got"
            case "$got" in
            *'\tarumin\mess.exe'*' MSX2J -cart hoshikaze.rom') ;;
            *) fail "the installed copy started '$got'" ;;
            esac
        fi
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
    printf '{"format":"tarumin-player","version":1}' > "$data/tarumin/player.json"
    printf 'mine\r\n' >> "$data/tarumin/list.csv"
    cp "$data/tarumin/list.csv" "$work/list-before.csv"
    timeout 120 wine "$setup" /S || fail "the update failed"
    cmp -s "$data/tarumin/list.csv" "$work/list-before.csv" && [ -f "$data/tarumin/player.json" ] || fail "the update touched the user's data"
    touch "$installed/mess.exe" # the user's own emulator
    timeout 120 wine "$installed/uninstall.exe" /S || fail "the uninstaller failed"
    # uninstall.exe hands over to a copy of itself in %TEMP% and returns at once; that copy has
    # done its work when it has ended, and with it every Wine process of the prefix.
    timeout 120 wineserver -w 2>/dev/null
    [ -f "$installed/Tarumin.exe" ] && fail "the uninstaller left Tarumin.exe"
    [ -d "$installed/template" ] && fail "the uninstaller left the template folder"
    wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the entry in Apps stayed"
    [ -f "$installed/mess.exe" ] || fail "the uninstaller removed the user's mess.exe"
    cmp -s "$data/tarumin/list.csv" "$work/list-before.csv" && [ -f "$data/tarumin/player.json" ] || fail "the uninstaller touched the user's data"
    [ "$failed" -eq 0 ] && echo "    setup: installed, seeded, updated and uninstalled; the user's data kept"
fi

[ "$failed" -eq 0 ] && echo "Windows tests under Wine: passed"
exit "$failed"
