#!/bin/sh
# The openMSX adapter (mess.exe on Linux): how it maps Tarumin's command line, what it
# refuses, and that it replaces itself with openMSX. A stand-in openmsx records its arguments
# and process id.
#   adapter_test.sh ADAPTER
set -u
adapter=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p home bin "my games"
cat > bin/openmsx <<'SH'
#!/bin/sh
# -testconfig -machine NAME [-ext fmpac]: only the machines of TARUMIN_TEST_MACHINES start,
# with the FM-PAC only when TARUMIN_TEST_FMPAC is set.
if [ "$1" = -testconfig ]; then
    for ok in ${TARUMIN_TEST_MACHINES:-}; do
        if [ "$ok" = "$3" ]; then
            [ "${5:-}" != fmpac ] || [ -n "${TARUMIN_TEST_FMPAC:-}" ] && exit 0
        fi
    done
    echo "Fatal error: Error in \"$3\" machine: Couldn't find ROM file for \"MAIN\" main.rom (sha1: 0123)." >&2
    exit 1
fi
{ echo "pid $$"; for a in "$@"; do echo "arg $a"; done; } > "$RECORD"
SH
chmod +x bin/openmsx
touch "my games/game.rom" "my games/my game.rom" "my games/tape.cas" "my games/disk.dsk"
# The machines are all tried however slow this machine is: the choice is tested, not the time.
export TARUMIN_OPENMSX="$work/bin/openmsx" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" TARUMIN_DISCOVERY_MS=60000
mkdir -p "$work/run"
unset TARUMIN_MSX2J_MACHINE TARUMIN_MSXJ_MACHINE TARUMIN_FMPAC_MACHINE XDG_CACHE_HOME

passed=0 failed=0
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

# expect EXIT_CODE EXPECTED_ARGS -- ADAPTER ARGS...  (EXPECTED_ARGS one line each, or "-")
expect() {
    code=$1 want=$2; shift 3
    export RECORD="$work/record"
    rm -f "$RECORD"
    (cd "my games" && exec sh "$adapter" "$@") 2> "$work/stderr" &
    pid=$!
    wait $pid
    got_code=$?
    if [ "$got_code" != "$code" ]; then fail "$*: exit $got_code, expected $code ($(cat "$work/stderr"))"; return; fi
    if [ "$want" = - ]; then
        [ ! -f "$RECORD" ] || { fail "$*: openMSX started though refused"; return; }
        [ -s "$work/stderr" ] || { fail "$*: refused without a message"; return; }
    else
        got=$(grep '^arg ' "$RECORD" | sed 's/^arg //')
        [ "$got" = "$want" ] || { fail "$*: got [$got] expected [$want]"; return; }
        [ "$(sed -n 's/^pid //p' "$RECORD")" = "$pid" ] || { fail "$*: a shell was left running (no exec)"; return; }
    fi
    passed=$((passed + 1))
}
nl='
'
expect 0 "-machine${nl}C-BIOS_MSX2_JP${nl}-cart${nl}game.rom" -- MSX2J -cart game.rom
expect 0 "-machine${nl}C-BIOS_MSX1_JP${nl}-cart${nl}game.rom" -- msxj -CART game.rom
expect 0 "-machine${nl}C-BIOS_MSX2_JP" -- MSX2J
expect 0 "-machine${nl}C-BIOS_MSX2_JP${nl}-cart${nl}my game.rom" -- MSX2J -cart "my game.rom"
expect 0 "-machine${nl}C-BIOS_MSX2+_JP${nl}-cart${nl}game.rom" -- MSX2J -CART FMPAC.ROM -cart game.rom
expect 0 "-machine${nl}C-BIOS_MSX2+_JP" -- MSX2J -CART FMPAC.ROM
expect 0 "-machine${nl}C-BIOS_MSX1_JP${nl}-ext${nl}tarumin_msx_music${nl}-cart${nl}game.rom" -- MSXJ -CART FMPAC.ROM -cart game.rom
[ -f home/.openMSX/share/extensions/tarumin_msx_music.xml ] || fail "the MSX-MUSIC extension was not written"
expect 4 - -- MSX2J -flop disk.dsk
expect 4 - -- MSXJ -cass tape.cas
expect 3 - -- MSX2J -cart missing.rom
expect 2 - -- MSX3 -cart game.rom
expect 2 - -- MSX2J -rom game.rom
expect 2 - -- MSX2J -cart
expect 2 - --
autorun="-command${nl}set autoruncassettes on${nl}-command${nl}cassetteplayer insert \$::env(TARUMIN_TAPE)"
# Machines named in the environment still win.
export TARUMIN_MSX2J_MACHINE=Panasonic_FS-A1WSX TARUMIN_MSXJ_MACHINE=Sony_HB-75P
expect 0 "-machine${nl}Panasonic_FS-A1WSX${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
expect 0 "-machine${nl}Sony_HB-75P${nl}-ext${nl}fmpac${nl}${autorun}" -- MSXJ -CART FMPAC.ROM -cass tape.cas
unset TARUMIN_MSX2J_MACHINE TARUMIN_MSXJ_MACHINE

# Machines found: openMSX's own machine descriptions, a ROM of the user's, and the machines the
# stand-in openMSX starts.
machines=/usr/share/openmsx/machines
if [ -d "$machines" ]; then
    export TARUMIN_OPENMSX_MACHINES=$machines
    mkdir -p home/.openMSX/share/systemroms
    echo rom > home/.openMSX/share/systemroms/own.rom
    export TARUMIN_TEST_MACHINES="Panasonic_FS-A1WSX Sony_HB-F1XD Toshiba_HX-23 Toshiba_HX-10D Panasonic_FS-A1ST"
    # A disk on MSX2J: a Japanese MSX2 (before MSX2+) with a disk drive.
    expect 0 "-machine${nl}Sony_HB-F1XD${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    # A tape on MSXJ: a Japanese MSX1 with a cassette port, the tape running by itself.
    expect 0 "-machine${nl}Toshiba_HX-10D${nl}${autorun}" -- MSXJ -cass tape.cas
    # FM-PAC: a machine with MSX-MUSIC built in comes first.
    expect 0 "-machine${nl}Panasonic_FS-A1WSX${nl}-cart${nl}game.rom" -- MSX2J -CART FMPAC.ROM -cart game.rom
    # The results are kept: another machine's ROMs arriving change nothing until a ROM folder
    # changes.
    [ -s home/.cache/tarumin/machines ] || fail "no cache of the machines"
    export TARUMIN_TEST_MACHINES="Sony_HB-F1XDmk2"
    expect 0 "-machine${nl}Sony_HB-F1XD${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    sleep 1.1; echo rom > home/.openMSX/share/systemroms/another.rom
    expect 0 "-machine${nl}Sony_HB-F1XDmk2${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    # A set of three disks: the first inserted, the others following by name.
    touch "my games/Quest Disk1.dsk" "my games/Quest Disk2.dsk" "my games/Quest Disk3.dsk"
    export RECORD="$work/record"
    (cd "my games" && sh "$adapter" MSX2J -flop "Quest Disk1.dsk") 2>/dev/null
    first=$(grep '^arg .*disk1\.dsk$' "$RECORD" | sed 's/^arg //')
    [ -n "$first" ] || fail "disk set: $(cat "$RECORD")"
    staged=$(dirname "$first")
    for n in 1 2 3; do
        [ "$(readlink "$staged/disk$n.dsk")" = "$work/my games/Quest Disk$n.dsk" ] || fail "disk $n of the set: $(ls -l "$staged")"
    done
    grep -q 'ALT+F9' "$RECORD" || fail "no word of ALT+F9 on the screen"
    [ "${staged%/*}" = "$work/run" ] || fail "disk set not staged in the runtime folder: $staged"
    # Without a runtime folder: a folder of this user's alone, of a name no one could foresee.
    mkdir -p "$work/tmp"
    (cd "my games" && env -u XDG_RUNTIME_DIR TMPDIR="$work/tmp" sh "$adapter" MSX2J -flop "Quest Disk1.dsk") 2>/dev/null
    staged=$(dirname "$(grep '^arg .*disk1\.dsk$' "$RECORD" | sed 's/^arg //')")
    case $staged in "$work/tmp/tarumin-disks."*) ;; *) fail "disk set staged at $staged" ;; esac
    [ "${staged##*.}" != "$(sed -n 's/^pid //p' "$RECORD")" ] || fail "the staging folder is named by the process id"
    [ "$(stat -c %a "$staged")" = 700 ] || fail "staging folder mode $(stat -c %a "$staged")"
    # A launch whose temporary folder is gone poisons nothing: the machine is still found then
    # and after.
    # A damaged cache, a cache of junk and a link in its place are made again, never believed.
    cache=home/.cache/tarumin/machines
    for damage in truncate junk link; do
        case $damage in
            truncate) head -c 20 "$cache" > "$cache.x" && mv "$cache.x" "$cache" ;;
            junk) { sed -n 1p "$cache"; echo "Sony_HB-F1XDmk2 MSX2 no no no no no"; head -c 100000 /dev/zero | tr '\0' x; } > "$cache.x" && mv "$cache.x" "$cache" ;;
            link) rm -f "$cache"; echo "stamp 0" > "$work/elsewhere"; ln -s "$work/elsewhere" "$cache" ;;
        esac
        expect 0 "-machine${nl}Sony_HB-F1XDmk2${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    done
    [ "$(cat "$work/elsewhere")" = "stamp 0" ] || fail "the cache was written through a link"
    rm -rf home/.cache
    export TMPDIR="$work/gone"
    expect 0 "-machine${nl}Sony_HB-F1XDmk2${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    unset TMPDIR
    expect 0 "-machine${nl}Sony_HB-F1XDmk2${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    # No real machine: a disk is refused in Japanese, a cartridge runs on C-BIOS.
    export TARUMIN_TEST_MACHINES=""
    rm -rf home/.cache; sleep 1.1; echo rom > home/.openMSX/share/systemroms/third.rom
    expect 4 - -- MSX2J -flop disk.dsk
    grep -q 'ディスク' "$work/stderr" || fail "refusal not in Japanese: $(cat "$work/stderr")"
    expect 0 "-machine${nl}C-BIOS_MSX2_JP${nl}-cart${nl}game.rom" -- MSX2J -cart game.rom
    # --machines says what each request starts, and why one cannot be served.
    export TARUMIN_TEST_MACHINES="Sony_HB-F1XD"
    rm -rf home/.cache
    out=$(sh "$adapter" --machines 2>&1)
    echo "$out" | grep -q '^MSX2J ディスク: Sony_HB-F1XD$' || fail "--machines: $out"
    echo "$out" | grep -q '^MSXJ テープ: 起動できません.*main.rom' || fail "--machines names no missing ROM: $out"
else
    echo "SKIP: no openMSX machine descriptions here"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
