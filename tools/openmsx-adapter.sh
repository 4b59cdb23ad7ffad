#!/bin/sh
# mess.exe for Linux: takes the command line Tarumin gives MESS and starts openMSX instead,
# replacing this shell (exec), on a machine this user can run.
#
#   mess.exe MSX2J|MSXJ [-CART FMPAC.ROM] [-cart FILE | -cass FILE | -flop FILE]
#   mess.exe --machines      what each request would start, and why one cannot be served
#
# Machines are found, not configured: the Japanese machines of openMSX's machine folders (the
# user's ~/.openMSX/share/machines first, then the system's), each checked with
# "openmsx -testconfig" (which succeeds only when the machine's ROMs are there), the results
# kept in ~/.cache/tarumin/machines and made again when openMSX, its machine folders or its ROM
# folders change. A request takes the first machine, in this order, that starts:
#   MSXJ   Japanese MSX1 machines;  MSX2J  Japanese MSX2, then MSX2+ machines;
#   a disk needs a disk drive, a tape a cassette port (and BASIC: no C-BIOS, no turbo R);
#   with FM-PAC, machines with MSX-MUSIC built in first, then others with "-ext fmpac" when
#   the FM-PAC ROM is there; among equals, by name.
# A cartridge (or nothing) falls back to the free C-BIOS machines, as before; a tape or a disk
# with no machine that can take it is refused. Tapes start with autoruncassettes on. A disk
# whose set lies beside it (NAME-disk1.dsk, NAME-disk2.dsk, ...: the same name but for the
# number after "disk", "disc" or "side", or for its last number) is given as the set
# name1.dsk, name2.dsk, ... so that openMSX's ALT+F9 changes disks.
#
# Environment (each still wins when set):
#   TARUMIN_MSX2J_MACHINE, TARUMIN_MSXJ_MACHINE   the openMSX machine for each request
#   TARUMIN_FMPAC_MACHINE  the machine for MSX2J with FM-PAC on C-BIOS (default C-BIOS_MSX2+_JP)
#   TARUMIN_OPENMSX        the openMSX program (default openmsx)
#   TARUMIN_OPENMSX_MACHINES  machine folders, separated by ":"
#
# Exit status when nothing is started: 2 a command line this adapter does not understand,
# 3 a game file that is not there, 4 media no machine here can load.
set -u

say() { echo "mess.exe (openMSX): $*" >&2; }
refuse() { code=$1; shift; say "$*"; exit "$code"; }

openmsx=${TARUMIN_OPENMSX:-openmsx}
home=${HOME:-/tmp}
user_share=$home/.openMSX/share
machine_dirs=${TARUMIN_OPENMSX_MACHINES:-$user_share/machines:/usr/share/openmsx/machines:/usr/local/share/openmsx/machines}
rom_dirs="$user_share/systemroms:/usr/share/openmsx/systemroms:/usr/local/share/openmsx/systemroms"
case ${XDG_CACHE_HOME:-} in /*) cache_home=$XDG_CACHE_HOME ;; *) cache_home=$home/.cache ;; esac
cache=$cache_home/tarumin/machines

# ---- the machines this user has

# One line a Japanese machine: NAME GENERATION DISK TAPE MUSIC (yes/no), the user's folder
# first; test machines and C-BIOS are left out (C-BIOS is the fallback).
describe_machines() {
    files=""
    old_ifs=$IFS; IFS=:
    for dir in $machine_dirs; do
        for f in "$dir"/*.xml; do [ -f "$f" ] && files="$files$f
"; done
    done
    IFS=$old_ifs
    [ -n "$files" ] || return 0
    printf '%s' "$files" | tr '\n' '\0' | xargs -0 awk '
        function flush() {
            if (name != "" && jp && !(name in seen)) { seen[name] = 1; print name, gen, disk, tape, music }
        }
        FNR == 1 {
            flush()
            name = FILENAME; sub(/.*\//, "", name); sub(/\.xml$/, "", name)
            if (name ~ /^(Acid|Boosted|C-BIOS)/ || name !~ /_/ || name ~ /[^A-Za-z0-9_+.-]/) name = ""
            jp = 0; gen = ""; disk = "no"; tape = "no"; music = "no"
        }
        /<keyboard_type>jp_jis<\/keyboard_type>/ { jp = 1 }
        gen == "" && /<type>/ { gen = $0; sub(/.*<type>/, "", gen); sub(/<\/type>.*/, "", gen) }
        /<(WD2793|TC8566AF|MB8877A|Microsol|WD1770)[ >]/ { disk = "yes" }
        /<CassettePort/ { tape = "yes" }
        /<MSX-MUSIC/ { music = "yes" }
        END { flush() }'
}

# What the results depend on: openMSX itself, its machine folders and its ROM folders.
stamp() {
    program=$(command -v "$openmsx" 2>/dev/null || echo "$openmsx")
    { ls -lLd --time-style=+%s "$program"
      old_ifs=$IFS; IFS=:
      for dir in $machine_dirs $rom_dirs; do ls -lLd --time-style=+%s "$dir" 2>/dev/null; done
      IFS=$old_ifs; } 2>/dev/null | cksum | cut -d' ' -f1
}

# The cache: a first line "stamp N", then "NAME GEN DISK TAPE MUSIC PLAIN FMPAC" where PLAIN and
# FMPAC are ok, no or - (not tried yet), for the machine alone and with -ext fmpac.
load_cache() {
    now=$(stamp)
    # Taken only when it is a plain file of ours of a sane size whose every line is a machine's
    # (a damaged or foreign one is made again, never read through).
    if [ -f "$cache" ] && [ ! -L "$cache" ] && [ -O "$cache" ] && [ "$(wc -c < "$cache")" -le 65536 ] \
        && [ "$(sed -n '1s/^stamp //p' "$cache")" = "$now" ] \
        && sed 1d "$cache" | awk 'NF != 7 || $6 !~ /^(ok|no|-)$/ || $7 !~ /^(ok|no|-)$/ { bad = 1 } END { exit bad }'; then
        table=$(sed 1d "$cache")
    else
        table=$(describe_machines | sed 's/$/ - -/')
        changed=yes
    fi
}
changed=no
save_cache() {
    [ "$changed" = yes ] || return 0
    mkdir -p "${cache%/*}" 2>/dev/null || return 0
    # Written whole under a new name, then put in place (a link there is replaced, not followed).
    new=$(mktemp "$cache.XXXXXXXX" 2>/dev/null) || return 0
    if { echo "stamp $now"; printf '%s\n' "$table"; } > "$new" 2>/dev/null; then
        mv -f "$new" "$cache" || rm -f "$new"
    else
        rm -f "$new"
    fi
}

# Whether any ROM folder holds a ROM of a real machine: without one, only C-BIOS starts.
have_roms() {
    old_ifs=$IFS; IFS=:
    for dir in $rom_dirs; do
        [ -n "$(ls -A "$dir" 2>/dev/null | grep -v -i '^readme\|^cbios_' | head -n 1)" ] \
            && { IFS=$old_ifs; return 0; }
    done
    IFS=$old_ifs
    return 1
}

now_ms() { date +%s%3N; }
# A launch spends at most this long finding a machine; what it did not try, a later one does.
budget_ms=${TARUMIN_DISCOVERY_MS:-600}
started_ms=$(now_ms)

# Whether openMSX can start the machine (with -ext fmpac when asked); remembered in the table.
starts() { # NAME plain|fmpac [KNOWN]
    field=6; [ "$2" = fmpac ] && field=7
    known=${3:-}
    [ -n "$known" ] || known=$(printf '%s\n' "$table" | awk -v n="$1" -v f="$field" '$1 == n { print $f }')
    case $known in ok) return 0 ;; no) return 1 ;; esac
    if [ "$scan" = no ] && [ $(( $(now_ms) - started_ms )) -gt "$budget_ms" ]; then
        return 1
    fi
    # Its words are not needed (no file of a predictable name in a shared folder for them).
    if [ "$2" = fmpac ]; then
        "$openmsx" -testconfig -machine "$1" -ext fmpac > /dev/null 2>&1
    else
        "$openmsx" -testconfig -machine "$1" > /dev/null 2>&1
    fi
    result=$?
    # Only a definite answer is kept: openMSX said yes, or no. One that could not be run, or
    # was stopped by a signal, is asked again by the next launch.
    case $result in
        0) verdict=ok ;;
        126|127) return 1 ;;
        *) [ "$result" -gt 128 ] && return 1; verdict=no ;;
    esac
    table=$(printf '%s\n' "$table" | awk -v n="$1" -v f="$field" -v v="$verdict" '$1 == n { $f = v } { print }')
    changed=yes
    [ "$result" -eq 0 ]
}

# The machines that could serve a request, in the order of preference (MACHINE MEDIA FMPAC):
# NAME MUSIC PLAIN FMPAC a line, the last two as in the table.
candidates() {
    printf '%s\n' "$table" | awk -v want="$1" -v media="$2" -v fmpac="$3" '
        NF >= 5 {
            if (want == "MSXJ" && $2 != "MSX") next
            if (want == "MSX2J" && $2 != "MSX2" && $2 != "MSX2+") next
            if (media == "-flop" && $3 != "yes") next
            if (media == "-cass" && $4 != "yes") next
            rank = ($2 == "MSX2+" ? 1 : 0) + (fmpac == "yes" && $5 != "yes" ? 2 : 0)
            print rank, $1, $5, $6, $7
        }' | LC_ALL=C sort -k1,1n -k2,2 | cut -d' ' -f2-
}

scan=no
# Sets machine and extension for a request, or returns 1 when no machine of the user's starts.
choose() { # MACHINE_NAME MEDIA FMPAC
    have_roms || return 1
    load_cache
    chosen=""
    music_note=""
    list=$(candidates "$1" "$2" "$3")
    # With FM-PAC first: a machine with MSX-MUSIC, or one with the FM-PAC ROM there.
    if [ "$3" = yes ]; then
        while read -r name music plain fm; do
            [ -n "$name" ] || continue
            if [ "$music" = yes ] && [ "$plain" != no ] && starts "$name" plain "$plain"; then chosen=$name; extension=""; break; fi
            if [ "$music" = no ] && [ "$fm" != no ] && starts "$name" fmpac "$fm"; then chosen=$name; extension=fmpac; break; fi
        done <<EOF
$list
EOF
        [ -n "$chosen" ] || music_note=yes
    fi
    if [ -z "$chosen" ]; then
        while read -r name music plain fm; do
            [ -n "$name" ] || continue
            if [ "$plain" != no ] && starts "$name" plain "$plain"; then chosen=$name; extension=""; break; fi
        done <<EOF
$list
EOF
    fi
    save_cache
    [ -n "$chosen" ] || return 1
    machine=$chosen
    [ -z "$music_note" ] || say "FM-PAC の ROM がないため、FM-PAC なしで $machine を起動します。"
    return 0
}

where_roms() {
    echo "openMSX は ROM を $user_share/systemroms と /usr/share/openmsx/systemroms で探します"
}

# ---- mess.exe --machines

if [ "${1:-}" = --machines ]; then
    scan=yes
    load_cache
    names=$(printf '%s\n' "$table" | awk 'NF >= 5 { print $1 }')
    for name in $names; do starts "$name" plain || true; done
    save_cache
    found=$(printf '%s\n' "$table" | awk '$6 == "ok"' | wc -l)
    all=$(printf '%s\n' "$table" | awk 'NF >= 5' | wc -l)
    echo "openMSX の日本の機種 $all 台のうち、起動できるもの: $found 台"
    printf '%s\n' "$table" | awk '$6 == "ok" { printf "  %s（%s%s%s%s）\n", $1, $2, ($3 == "yes" ? "、ディスク" : ""), ($4 == "yes" ? "、テープ" : ""), ($5 == "yes" ? "、MSX-MUSIC" : "") }'
    echo
    for want in MSXJ MSX2J; do
        for media in -cart -cass -flop; do
            for fm in no yes; do
                case $media in -cart) what=カートリッジ ;; -cass) what=テープ ;; -flop) what=ディスク ;; esac
                label="$want $what$( [ "$fm" = yes ] && echo '＋FM-PAC')"
                var=TARUMIN_${want}_MACHINE
                eval "override=\${$var:-}"
                extension=""
                if [ -n "$override" ]; then
                    echo "$label: $override（環境変数 $var）"
                elif choose "$want" "$media" "$fm" 2>/dev/null; then
                    echo "$label: $machine${extension:+ -ext $extension}"
                elif [ "$media" = -cart ]; then
                    free=C-BIOS_MSX2_JP; [ "$want" = MSXJ ] && free=C-BIOS_MSX1_JP
                    [ "$fm" = yes ] && [ "$want" = MSX2J ] && free=${TARUMIN_FMPAC_MACHINE:-C-BIOS_MSX2+_JP}
                    echo "$label: $free（無料の C-BIOS）"
                else
                    first=$(candidates "$want" "$media" "$fm" | head -n 1 | cut -d' ' -f1)
                    if [ -z "$first" ]; then
                        echo "$label: 起動できません。この条件に合う日本の機種の設定が openMSX にありません。"
                    else
                        why=$("$openmsx" -testconfig -machine "$first" 2>&1 >/dev/null | grep -i -m1 'rom' | sed 's/.*machine: //')
                        echo "$label: 起動できません。いちばん先に選ぶ機種 $first の ROM がありません${why:+（$why）}。$(where_roms)。"
                    fi
                fi
            done
        done
    done
    exit 0
fi

# ---- a launch

[ $# -ge 1 ] || refuse 2 "機種が指定されていません（MSX2J か MSXJ）。"
machine_name=$(printf '%s' "$1" | tr '[:lower:]' '[:upper:]')
shift
case $machine_name in
    MSX2J) override=${TARUMIN_MSX2J_MACHINE:-} ;;
    MSXJ) override=${TARUMIN_MSXJ_MACHINE:-} ;;
    *) refuse 2 "機種「$machine_name」はわかりません（MSX2J か MSXJ）。" ;;
esac

fmpac=no
media=""
file=""
while [ $# -gt 0 ]; do
    option=$1
    [ $# -ge 2 ] || refuse 2 "オプション「$option」にファイルがありません。"
    name=$2
    shift 2
    lower=$(printf '%s' "$option" | tr '[:upper:]' '[:lower:]')
    if [ "$lower" = "-cart" ] && [ "$(printf '%s' "$name" | tr '[:lower:]' '[:upper:]')" = "FMPAC.ROM" ]; then
        fmpac=yes
        continue
    fi
    case $lower in
        -cart|-cass|-flop) ;;
        *) refuse 2 "オプション「$option」はわかりません。" ;;
    esac
    [ -z "$media" ] || refuse 2 "ゲームが２つ指定されています（「$media $file」と「$option $name」）。"
    media=$lower
    file=$name
done

[ -z "$media" ] || [ -f "$file" ] || refuse 3 "ゲームのファイル「$file」が $(pwd) にありません。"

extension=""
if [ -n "$override" ]; then
    machine=$override
    [ "$fmpac" = yes ] && case $machine in C-BIOS*) ;; *) extension=fmpac ;; esac
elif ! choose "$machine_name" "$media" "$fmpac"; then
    machine=C-BIOS_MSX2_JP
    [ "$machine_name" = MSXJ ] && machine=C-BIOS_MSX1_JP
    case $media in
        -flop) refuse 4 "ディスク「$file」を読める $machine_name の機種がありません（無料の C-BIOS にはディスクの ROM がありません）。ディスクドライブのある日本の機種の ROM を入れてください。$(where_roms)。どの機種が使えるかは「mess.exe --machines」で確かめられます。" ;;
        -cass) refuse 4 "テープ「$file」を読める $machine_name の機種がありません（無料の C-BIOS には BASIC がありません）。日本の機種の ROM を入れてください。$(where_roms)。どの機種が使えるかは「mess.exe --machines」で確かめられます。" ;;
    esac
fi

case $machine in C-BIOS*) cbios=yes ;; *) cbios=no ;; esac
if [ "$fmpac" = yes ] && [ "$cbios" = yes ]; then
    if [ "$machine_name" = MSX2J ]; then
        machine=${TARUMIN_FMPAC_MACHINE:-C-BIOS_MSX2+_JP}
        say "FM-PAC: FM-PAC の ROM がないため、代わりに $machine の無料の MSX-MUSIC を使います。"
    else
        extension=tarumin_msx_music
        dir=$user_share/extensions
        if [ ! -f "$dir/$extension.xml" ]; then
            mkdir -p "$dir" && cat > "$dir/$extension.xml" <<'XML'
<?xml version="1.0" ?>
<!DOCTYPE msxconfig SYSTEM 'msxconfig2.dtd'>
<msxconfig>
  <info>
    <name>MSX-MUSIC (C-BIOS)</name>
    <description>The free C-BIOS MSX-MUSIC ROM in a cartridge slot, in place of an FM-PAC.</description>
    <type>external MSX-MUSIC</type>
  </info>
  <devices>
    <primary slot="any">
      <secondary slot="any">
        <MSX-MUSIC id="MSX-MUSIC">
          <mem base="0x4000" size="0x4000"/>
          <io base="0x7C" num="2" type="O"/>
          <rom>
            <sha1>5c5eb001e6a1fe29edb7abd428a3967bb388e5db</sha1>
            <filename>cbios_music.rom</filename>
          </rom>
          <sound><volume>9000</volume></sound>
        </MSX-MUSIC>
      </secondary>
    </primary>
  </devices>
</msxconfig>
XML
        fi
        say "FM-PAC: FM-PAC の ROM がないため、代わりに無料の C-BIOS の MSX-MUSIC を $machine に挿します。"
    fi
fi

# ---- a disk set: name1.dsk, name2.dsk, ... in a folder of this run's own

stage_disks() {
    dir=$(dirname -- "$file")
    base=$(basename -- "$file")
    ext=${base##*.}
    [ "$ext" != "$base" ] || return 1
    stem=${base%.*}
    # The number that tells the disks apart: after disk/disc/side, else the last one.
    pattern=$(printf '%s' "$stem" | awk '{
        s = $0; l = tolower(s)
        if (match(l, /(disk|disc|side)[ _-]*[0-9]+/)) {
            head = substr(s, 1, RSTART - 1); word = substr(s, RSTART, RLENGTH)
            tail = substr(s, RSTART + RLENGTH); sub(/[0-9]+$/, "", word)
            print head word "\t" tail
        } else if (match(s, /[0-9]+[^0-9]*$/)) {
            n = substr(s, RSTART); sub(/[^0-9]*$/, "", n)
            print substr(s, 1, RSTART - 1) "\t" substr(s, RSTART + length(n))
        }
    }')
    [ -n "$pattern" ] || return 1
    head=$(printf '%s' "$pattern" | cut -f1)
    tail=$(printf '%s' "$pattern" | cut -f2)
    set_list=$(for f in "$dir"/*; do
        b=$(basename -- "$f")
        [ "${b##*.}" = "$ext" ] || continue
        s=${b%.*}
        case $s in "$head"*"$tail") ;; *) continue ;; esac
        n=${s#"$head"}; n=${n%"$tail"}
        case $n in ''|*[!0-9]*) continue ;; esac
        echo "$n $b"
    done | sort -n)
    count=$(printf '%s\n' "$set_list" | grep -c .)
    [ "$count" -ge 2 ] || return 1
    # Staged in a folder of this user's alone: the runtime folder when it is there and ours,
    # else a folder of an unpredictable name (mktemp, mode 0700) in the temporary folder.
    # Leftovers of runs that have ended are removed; only folders of ours are looked at.
    runtime=${TMPDIR:-/tmp}
    if [ -n "${XDG_RUNTIME_DIR:-}" ] && [ -d "$XDG_RUNTIME_DIR" ] && [ -O "$XDG_RUNTIME_DIR" ]; then
        runtime=$XDG_RUNTIME_DIR
    fi
    for old in "$runtime"/tarumin-disks.*; do
        [ -d "$old" ] && [ ! -L "$old" ] && [ -O "$old" ] || continue
        pid=$(cat "$old/pid" 2>/dev/null)
        case $pid in ''|*[!0-9]*) rm -rf "$old"; continue ;; esac
        kill -0 "$pid" 2>/dev/null || rm -rf "$old"
    done
    staged=$(mktemp -d "$runtime/tarumin-disks.XXXXXXXXXX") || return 1
    echo $$ > "$staged/pid"
    i=0
    printf '%s\n' "$set_list" | while read -r n b; do
        i=$((i + 1))
        ln -s "$(cd "$dir" && pwd)/$b" "$staged/disk$i.$ext"
    done
    file=$staged/disk1.$ext
    disks=$count
    return 0
}

set -- -machine "$machine"
[ -n "$extension" ] && set -- "$@" -ext "$extension"
case $media in
    -cart) set -- "$@" -cart "$file" ;;
    -cass)
        # The tape loads by itself: the setting first, then the tape (its name from the
        # environment, so that no character of it means anything to openMSX's commands).
        TARUMIN_TAPE=$(cd "$(dirname -- "$file")" && pwd)/$(basename -- "$file")
        export TARUMIN_TAPE
        set -- "$@" -command "set autoruncassettes on" -command 'cassetteplayer insert $::env(TARUMIN_TAPE)' ;;
    -flop)
        disks=1
        if stage_disks; then
            say "ディスク $disks 枚の組です。ALT+F9 で次のディスクに入れ替えられます。"
            set -- "$@" -diska "$file" -command "after time 3 {message {ディスク $disks 枚の組です。ALT+F9 で次のディスクに入れ替えられます。}}"
        else
            set -- "$@" -diska "$file"
        fi ;;
esac
exec "$openmsx" "$@"
