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
{ echo "pid $$"; for a in "$@"; do echo "arg $a"; done; } > "$RECORD"
SH
chmod +x bin/openmsx
touch "my games/game.rom" "my games/my game.rom" "my games/tape.cas" "my games/disk.dsk"
export TARUMIN_OPENMSX="$work/bin/openmsx" HOME="$work/home"
unset TARUMIN_MSX2J_MACHINE TARUMIN_MSXJ_MACHINE TARUMIN_FMPAC_MACHINE

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
# Machines of the user's own take tapes, disks and the real FM-PAC.
export TARUMIN_MSX2J_MACHINE=Panasonic_FS-A1WSX TARUMIN_MSXJ_MACHINE=Sony_HB-75P
expect 0 "-machine${nl}Panasonic_FS-A1WSX${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
expect 0 "-machine${nl}Sony_HB-75P${nl}-ext${nl}fmpac${nl}-cassetteplayer${nl}tape.cas" -- MSXJ -CART FMPAC.ROM -cass tape.cas

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
