#!/bin/sh
# The openMSX adapter (mess.exe on Linux): how it maps Tarumin's command line, what it
# refuses, and that it replaces itself with openMSX. A stand-in openmsx records its arguments
# and process id.
# Machines are the installed openMSX's own descriptions with each ROM's SHA-1 replaced by the
# SHA-1 of a text the test can write, so that "owning" a machine is writing its ROM files.
#   adapter_test.sh ADAPTER
set -u
adapter=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
data=$(cd "$(dirname "$0")" && pwd)/data
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p home bin "my games"
cat > bin/openmsx <<'SH'
#!/bin/sh
# -testconfig -machine NAME [-ext fmpac]: only the machines of TARUMIN_TEST_MACHINES start,
# with the FM-PAC only when TARUMIN_TEST_FMPAC is set.
if [ "$1" = -testconfig ]; then
    sleep 0.15 # as long as a real openMSX takes
    for ok in ${TARUMIN_TEST_MACHINES:-}; do
        if [ "$ok" = "$3" ]; then
            [ "${5:-}" != fmpac ] || [ -n "${TARUMIN_TEST_FMPAC:-}" ] && exit 0
        fi
    done
    echo "Fatal error: Error in \"$3\" machine: Couldn't find ROM file for \"MAIN\" main.rom (sha1: 0123)." >&2
    exit 1
fi
# A staged set is gone once openMSX has ended: a copy of it is kept for the test.
for a in "$@"; do
    case $a in */disk1.*) rm -rf "$RECORD.staged"; cp -a "${a%/*}" "$RECORD.staged" ;; esac
done
{ echo "pid $$"; echo "parent $PPID"; for a in "$@"; do echo "arg $a"; done; } > "$RECORD"
echo "ALSA lib seq_hw.c:466:(snd_seq_hw_open) open /dev/snd/seq failed" >&2
if [ -n "${TARUMIN_TEST_REFUSE:-}" ]; then
    echo "Fatal error: $TARUMIN_TEST_REFUSE" >&2
    exit 1
fi
SH
chmod +x bin/openmsx
touch "my games/game.rom" "my games/my game.rom" "my games/tape.cas" "my games/disk.dsk"
export TARUMIN_OPENMSX="$work/bin/openmsx" HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$work/run"
chmod 700 "$work/run"
unset TARUMIN_MSX2J_MACHINE TARUMIN_MSXJ_MACHINE TARUMIN_FMPAC_MACHINE XDG_CACHE_HOME

passed=0 failed=0
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

# expect EXIT_CODE EXPECTED_ARGS -- ADAPTER ARGS...  (EXPECTED_ARGS one line each, or "-")
expect() {
    code=$1 want=$2; shift 3
    export RECORD="$work/record"
    rm -f "$RECORD"
    (cd "my games" && exec "$adapter" "$@") 2> "$work/stderr" &
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
        [ "$(sed -n 's/^parent //p' "$RECORD")" = "$pid" ] || { fail "$*: openMSX is not the adapter's own child"; return; }
        [ ! -s "$work/stderr" ] || grep -qv ALSA "$work/stderr" || { fail "$*: openMSX's chatter reached stderr"; return; }
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
# openMSX's refusal is said in Japanese, with openMSX's own line after it.
export RECORD="$work/record"
(cd "my games" && TARUMIN_TEST_REFUSE="Couldn't open disk image disk.dsk: not a valid disk image" "$adapter" MSX2J -cart game.rom) 2> "$work/stderr"
[ $? -ne 0 ] && [ "$(cat "$work/stderr")" = "mess.exe (openMSX): ディスクのイメージを読めません（壊れているか、ディスクのイメージではありません）。
openMSX: Fatal error: Couldn't open disk image disk.dsk: not a valid disk image" ] || fail "refusal: $(cat "$work/stderr")"
expect 2 - --
autorun="-command${nl}set autoruncassettes on${nl}-command${nl}cassetteplayer insert \$::env(TARUMIN_TAPE)"
# Machines named in the environment still win.
export TARUMIN_MSX2J_MACHINE=Panasonic_FS-A1WSX TARUMIN_MSXJ_MACHINE=Sony_HB-75P
expect 0 "-machine${nl}Panasonic_FS-A1WSX${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
expect 0 "-machine${nl}Sony_HB-75P${nl}-ext${nl}fmpac${nl}${autorun}" -- MSXJ -CART FMPAC.ROM -cass tape.cas
unset TARUMIN_MSX2J_MACHINE TARUMIN_MSXJ_MACHINE

# Machines found: openMSX's machine descriptions, the ROMs of the machines the test owns, and
# the machines the stand-in openMSX starts.
machines=/usr/share/openmsx/machines
if [ -d "$machines" ]; then
    mkdir -p "$work/machines" home/.openMSX/share/systemroms home/.openMSX/share/extensions
    grep -l '<keyboard_type>jp_' "$machines"/*.xml | xargs -I{} cp {} "$work/machines/"
    cp /usr/share/openmsx/extensions/fmpac.xml "$work/fmpac.xml"
    for h in $(cat "$work"/machines/*.xml "$work/fmpac.xml" | grep -o '<sha1>[0-9a-f]\{40\}</sha1>' | sed 's/<[^>]*>//g' | sort -u); do
        echo "s/$h/$(printf '%s' "$h" | sha1sum | cut -c1-40)/g"
    done > "$work/sha1.sed"
    sed -i -f "$work/sha1.sed" "$work"/machines/*.xml "$work/fmpac.xml"
    export TARUMIN_OPENMSX_MACHINES="$work/machines"
    # own NAME...: puts the ROMs of those machines (by their original descriptions) in place.
    own() {
        for m in "$@"; do
            for h in $(grep -o '<sha1>[0-9a-f]\{40\}</sha1>' "$machines/$m.xml" | sed 's/<[^>]*>//g'); do
                printf '%s' "$h" > "home/.openMSX/share/systemroms/$h.rom"
            done
        done
    }
    # The 20th machine that could take a disk on MSX2J is the only one owned: the first launch
    # starts it, each machine's -testconfig taking as long as a real one's.
    own Sony_HB-F1XV
    export TARUMIN_TEST_MACHINES="Sony_HB-F1XV Sony_HB-F1XD Toshiba_HX-10D Panasonic_FS-A1WSX Sony_HB-F1XDmk2 National_CF-2000"
    expect 0 "-machine${nl}Sony_HB-F1XV${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    # A cartridge runs on the owned machine, not on C-BIOS; a tape on MSXJ needs an MSX1 with a
    # cassette port, the tape running by itself.
    expect 0 "-machine${nl}Sony_HB-F1XV${nl}-cart${nl}game.rom" -- MSX2J -cart game.rom
    expect 4 - -- MSXJ -cass tape.cas
    # A machine of the 50-on or ANSI layout is as Japanese as one of the JIS layout.
    own National_CF-2000
    expect 0 "-machine${nl}National_CF-2000${nl}${autorun}" -- MSXJ -cass tape.cas
    # The Toshiba has the same ROM: it comes after the National by name.
    own Toshiba_HX-10D Sony_HB-F1XD
    expect 0 "-machine${nl}National_CF-2000${nl}${autorun}" -- MSXJ -cass tape.cas
    # An MSX2 comes before an MSX2+; with FM-PAC, a machine with MSX-MUSIC built in first, then
    # one with the FM-PAC's ROM there, else none and a word of it.
    expect 0 "-machine${nl}Sony_HB-F1XD${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    expect 0 "-machine${nl}Sony_HB-F1XV${nl}-cart${nl}game.rom" -- MSX2J -CART FMPAC.ROM -cart game.rom
    expect 0 "-machine${nl}National_CF-2000${nl}-cart${nl}game.rom" -- MSXJ -CART FMPAC.ROM -cart game.rom
    grep -q 'FM-PAC なしで' "$work/stderr" || fail "no word of the missing FM-PAC: $(cat "$work/stderr")"
    cp "$work/fmpac.xml" home/.openMSX/share/extensions/fmpac.xml
    h=$(grep -o '<sha1>[0-9a-f]\{40\}</sha1>' /usr/share/openmsx/extensions/fmpac.xml | sed 's/<[^>]*>//g' | head -n 1)
    printf '%s' "$h" > home/.openMSX/share/systemroms/fmpac.rom
    export TARUMIN_TEST_FMPAC=1
    expect 0 "-machine${nl}National_CF-2000${nl}-ext${nl}fmpac${nl}-cart${nl}game.rom" -- MSXJ -CART FMPAC.ROM -cart game.rom
    # openMSX's refusal is kept: a machine it refused is passed over by the next launches.
    own Panasonic_FS-A1F
    expect 0 "-machine${nl}Sony_HB-F1XD${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    cache=home/.cache/tarumin/openmsx-machines.json
    [ -s "$cache" ] || fail "no cache of the machines"
    grep -q 'Panasonic_FS-A1F\\t' "$cache" || fail "openMSX's refusal of FS-A1F was not kept"
    # The file pool's games are no system ROMs: only its system_rom folders are looked in.
    mkdir -p "$work/pool" "$work/sysroms"
    printf x > "$work/pool/game.rom"
    printf x > "$work/sysroms/extra.rom"
    printf '<settings><setting id="__filepool">{-path %s -types {rom disk tape}} {-types system_rom -path %s}</setting></settings>\n' \
        "$work/pool" "$work/sysroms" > home/.openMSX/share/settings.xml
    expect 0 "-machine${nl}Sony_HB-F1XD${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    ! grep -q "$work/pool" "$cache" || fail "the game pool was hashed as system ROMs"
    grep -q "$work/sysroms/extra.rom" "$cache" || fail "the pool's system ROMs were not looked in"
    # A set of three disks: the first inserted, the others following by name.
    touch "my games/Quest Disk1.dsk" "my games/Quest Disk2.dsk" "my games/Quest Disk3.dsk"
    export RECORD="$work/record"
    (cd "my games" && "$adapter" MSX2J -flop "Quest Disk1.dsk") 2>/dev/null
    first=$(grep '^arg .*disk1\.dsk$' "$RECORD" | sed 's/^arg //')
    [ -n "$first" ] || fail "disk set: $(cat "$RECORD")"
    staged=$(dirname "$first")
    copy="$RECORD.staged"
    for n in 1 2 3; do
        [ "$(readlink "$copy/disk$n.dsk")" = "$work/my games/Quest Disk$n.dsk" ] || fail "disk $n of the set: $(ls -l "$copy")"
    done
    [ ! -e "$staged" ] || fail "the staged set outlived its openMSX"
    grep -q 'ALT+F9' "$RECORD" || fail "no word of ALT+F9 on the screen"
    [ "${staged%/*}" = "$work/run" ] || fail "disk set not staged in the runtime folder: $staged"
    [ "$(cat "$copy/parts")" = "$(printf '%s\n' "$staged/disk1.dsk" "$staged/disk2.dsk" "$staged/disk3.dsk")" ] || fail "parts: $(cat "$copy/parts")"
    # The disk asked for goes in first; a part the catalogue lists as a game of its own stays out.
    mkdir -p "my games/tarumin"
    printf 'Quest 2,,,,,,q,-flop "Quest Disk2.dsk"\r\n' > "my games/tarumin/list.csv"
    (cd "my games" && "$adapter" MSX2J -flop "Quest Disk3.dsk") 2>/dev/null
    first=$(grep '^arg .*disk1\.dsk$' "$RECORD" | sed 's/^arg //')
    [ "$(readlink "$copy/disk1.dsk")|$(readlink "$copy/disk2.dsk")|$(ls "$copy" | grep -c dsk)" = "$work/my games/Quest Disk3.dsk|$work/my games/Quest Disk1.dsk|2" ] \
        || fail "chosen disk first: $(ls -l "$copy")"
    rm -r "my games/tarumin"
    # A zip of a game's disks (as MAME's sets come): its disks unpacked, in number order.
    (cd "$work" && mkdir z && printf two > z/side2.dsk && printf one > z/side1.dsk && cd z && zip -q ../"my games/set.zip" side2.dsk side1.dsk)
    (cd "my games" && "$adapter" MSX2J -flop set.zip) 2>/dev/null
    [ "$(cat "$copy/disk1.dsk" "$copy/disk2.dsk" 2>/dev/null)" = onetwo ] || fail "zip set: $(cat "$RECORD")"
    # Two members of one name are two disks, each staged from its own place in the zip.
    (cd "$work/z" && zip -q ../same.zip side1.dsk side2.dsk) && LC_ALL=C sed 's/side2\.dsk/side1.dsk/g' "$work/same.zip" > "my games/same.zip"
    (cd "my games" && XDG_RUNTIME_DIR="$work/run/" "$adapter" MSX2J -flop same.zip) 2>/dev/null
    [ "$(cat "$copy/disk1.dsk" "$copy/disk2.dsk" 2>/dev/null)" = onetwo ] || fail "same-named members: $(cat "$RECORD")"
    # Without a runtime folder: a folder of this user's alone, of a name no one could foresee;
    # what others put there, and links, are left alone; the folders of ended runs go.
    mkdir -p "$work/tmp/tarumin-disks.other" "$work/elsewhere.d"
    echo 1 > "$work/tmp/tarumin-disks.other/pid"
    ln -s "$work/elsewhere.d" "$work/tmp/tarumin-disks.link"
    [ "$(id -u)" != 0 ] || chown nobody "$work/tmp/tarumin-disks.other"
    (cd "my games" && env -u XDG_RUNTIME_DIR TMPDIR="$work/tmp" "$adapter" MSX2J -flop "Quest Disk1.dsk") 2>/dev/null
    staged=$(dirname "$(grep '^arg .*disk1\.dsk$' "$RECORD" | sed 's/^arg //')")
    case $staged in "$work/tmp/tarumin-disks."*) ;; *) fail "disk set staged at $staged" ;; esac
    [ "${staged##*.}" != "$(sed -n 's/^pid //p' "$RECORD")" ] || fail "the staging folder is named by the process id"
    [ "$(stat -c %a "$copy")" = 700 ] || fail "staging folder mode $(stat -c %a "$copy")"
    [ ! -e "$staged" ] || fail "the staged set outlived its openMSX"
    # A run whose adapter was killed leaves its folder: the next launch takes it away.
    mkdir "$work/tmp/tarumin-disks.ended" && sh -c 'echo $$' > "$work/tmp/tarumin-disks.ended/pid"
    (cd "my games" && env -u XDG_RUNTIME_DIR TMPDIR="$work/tmp" "$adapter" MSX2J -flop "Quest Disk1.dsk") 2>/dev/null
    [ ! -e "$work/tmp/tarumin-disks.ended" ] || fail "the folder of an ended run was left"
    if [ "$(id -u)" = 0 ]; then
        [ -f "$work/tmp/tarumin-disks.other/pid" ] || fail "another user's folder was removed"
    fi
    [ -d "$work/elsewhere.d" ] && [ -L "$work/tmp/tarumin-disks.link" ] || fail "a link was followed or removed"
    # A damaged cache, a cache of junk and a link in its place are made again, never believed;
    # a launch whose temporary folder is gone poisons nothing.
    for damage in truncate junk link; do
        case $damage in
            truncate) head -c 20 "$cache" > "$cache.x" && mv "$cache.x" "$cache" ;;
            junk) head -c 5000000 /dev/zero | tr '\0' x > "$cache" ;;
            link) rm -f "$cache"; echo "keep" > "$work/elsewhere"; ln -s "$work/elsewhere" "$cache" ;;
        esac
        expect 0 "-machine${nl}Sony_HB-F1XD${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    done
    [ "$(cat "$work/elsewhere")" = keep ] || fail "the cache was written through a link"
    [ ! -L "$cache" ] || fail "the cache is still a link"
    rm -rf home/.cache
    export TMPDIR="$work/gone"
    expect 0 "-machine${nl}Sony_HB-F1XD${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    unset TMPDIR
    # openMSX that cannot be run gives no answer to keep: the machine owned is still started.
    rm -rf home/.cache
    cp bin/openmsx "$work/openmsx.ok"
    printf '#!/bin/sh\n[ "$1" != -testconfig ] || kill -9 $$\nexec "%s" "$@"\n' "$work/openmsx.ok" > bin/openmsx
    expect 0 "-machine${nl}Panasonic_FS-A1F${nl}-cart${nl}game.rom" -- MSX2J -cart game.rom
    cp "$work/openmsx.ok" bin/openmsx
    expect 0 "-machine${nl}Sony_HB-F1XD${nl}-diska${nl}disk.dsk" -- MSX2J -flop disk.dsk
    # No real machine: a disk is refused in Japanese, a cartridge runs on C-BIOS.
    rm -rf home/.openMSX/share/systemroms/*
    expect 4 - -- MSX2J -flop disk.dsk
    grep -q 'ディスク' "$work/stderr" || fail "refusal not in Japanese: $(cat "$work/stderr")"
    expect 0 "-machine${nl}C-BIOS_MSX2_JP${nl}-cart${nl}game.rom" -- MSX2J -cart game.rom
    # --machines says what each request starts, and why one cannot be served.
    own Sony_HB-F1XD
    out=$("$adapter" --machines 2>&1)
    echo "$out" | grep -q '^MSX2J ディスク: Sony_HB-F1XD$' || fail "--machines: $out"
    echo "$out" | grep -q '^MSXJ テープ: 起動できません.*\.rom' || fail "--machines names no missing ROM: $out"
else
    echo "SKIP: no openMSX machine descriptions here"
fi

# MAME, where there is no openMSX: a stand-in that answers as MAME 0.251 does for its Japanese
# MSX systems, owning the sets that are zips in its rompath, and records the line it is given.
mkdir -p "$work/mame/roms"
cat > bin/mame <<SH
#!/bin/sh
case "\$1" in
-listfull) cat "$data/mame-0.251-msx-japan.listfull" ;;
-listxml) cat "$data/mame-0.251-msx-japan.xml" ;;
-showconfig) if [ -f "$work/home/.mame/mame.ini" ]; then echo "rompath                   \$(sed -n 's/^rompath //p' "$work/home/.mame/mame.ini")"; else echo "rompath                   $work/nothing"; fi ;;
-verifyroms) shift; for s in "\$@"; do [ -f "$work/mame/roms/\$s.zip" ] && echo "romset \$s is good"; done ;;
*) { echo "parent \$PPID"; for a in "\$@"; do printf "arg %s\\n" "\$a"; done; } > "\$RECORD"
   [ -z "\${TARUMIN_TEST_REFUSE:-}" ] || { echo "\$TARUMIN_TEST_REFUSE"; exit 2; } ;;
esac
SH
chmod +x bin/mame
export TARUMIN_MAME="$work/bin/mame"
TARUMIN_OPENMSX="$work/no-openmsx" expect 4 - -- MSX2J -cart game.rom
grep -q 'ROM がありません' "$work/stderr" || fail "MAME with no system: $(cat "$work/stderr")"
touch "$work/mame/roms/fsa1.zip" "$work/mame/roms/hbf1xd.zip" "$work/mame/roms/cf2000.zip"
# A rompath changed in MAME's settings is read again (the stand-in reads it from mame.ini).
mkdir -p home/.mame && echo "rompath $work/mame/roms" > home/.mame/mame.ini
TARUMIN_OPENMSX="$work/no-openmsx" expect 0 "fsa1${nl}-cart1${nl}$work/my games/game.rom" -- MSX2J -cart game.rom
TARUMIN_EMULATOR=mame expect 0 "hbf1xd${nl}-flop${nl}$work/my games/disk.dsk" -- MSX2J -flop disk.dsk
TARUMIN_EMULATOR=mame expect 0 "cf2000${nl}-cass${nl}$work/my games/tape.cas${nl}-autoboot_delay${nl}3${nl}-autoboot_command${nl}RUN\"CAS:\"\\n" -- MSXJ -cass tape.cas
mkdir -p "$work/mame/roms/msx1_cart" && touch "$work/mame/roms/msx1_cart/fmpac.zip"
TARUMIN_EMULATOR=mame expect 0 "fsa1${nl}-cart1${nl}$work/my games/game.rom${nl}-cart2${nl}fmpac" -- MSX2J -CART FMPAC.ROM -cart game.rom
(cd "my games" && TARUMIN_EMULATOR=mame TARUMIN_TEST_REFUSE="Required files are missing, the machine cannot be run." "$adapter" MSX2J -cart game.rom) 2> "$work/stderr"
[ $? -ne 0 ] && grep -q '^mess.exe (MAME): 機種の ROM が足りません' "$work/stderr" || fail "MAME's refusal: $(cat "$work/stderr")"
out=$(TARUMIN_OPENMSX="$work/no-openmsx" "$adapter" --machines 2>&1)
echo "$out" | grep -q '日本の MSX 109 機種のうち、ROM のあるもの: 3 機種' || fail "--machines has no MAME: $out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
