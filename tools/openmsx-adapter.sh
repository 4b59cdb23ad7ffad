#!/bin/sh
# mess.exe for Linux: takes the command line Tarumin gives MESS and starts openMSX instead,
# replacing this shell (exec), with the free C-BIOS machines unless told otherwise.
#
#   mess.exe MSX2J|MSXJ [-CART FMPAC.ROM] [-cart FILE | -cass FILE | -flop FILE]
#
# Environment, for users who own real machine ROMs:
#   TARUMIN_MSX2J_MACHINE  openMSX machine for MSX2J (default C-BIOS_MSX2_JP)
#   TARUMIN_MSXJ_MACHINE   openMSX machine for MSXJ  (default C-BIOS_MSX1_JP)
#   TARUMIN_FMPAC_MACHINE  machine used for MSX2J with FM-PAC (default C-BIOS_MSX2+_JP, which
#                          has MSX-MUSIC built in)
#   TARUMIN_OPENMSX        the openMSX program (default openmsx)
#
# Exit status when nothing is started: 2 a command line this adapter does not understand,
# 3 a game file that is not there, 4 media C-BIOS cannot load (disks, tapes).
set -u

say() { echo "mess.exe (openMSX): $*" >&2; }
refuse() { code=$1; shift; say "$*"; exit "$code"; }

openmsx=${TARUMIN_OPENMSX:-openmsx}

[ $# -ge 1 ] || refuse 2 "no machine given (MSX2J or MSXJ)"
machine_name=$(printf '%s' "$1" | tr '[:lower:]' '[:upper:]')
shift
case $machine_name in
    MSX2J) machine=${TARUMIN_MSX2J_MACHINE:-C-BIOS_MSX2_JP} ;;
    MSXJ) machine=${TARUMIN_MSXJ_MACHINE:-C-BIOS_MSX1_JP} ;;
    *) refuse 2 "unknown machine '$machine_name' (MSX2J or MSXJ)" ;;
esac

fmpac=no
media=""
file=""
while [ $# -gt 0 ]; do
    option=$1
    [ $# -ge 2 ] || refuse 2 "option '$option' needs a file"
    name=$2
    shift 2
    lower=$(printf '%s' "$option" | tr '[:upper:]' '[:lower:]')
    if [ "$lower" = "-cart" ] && [ "$(printf '%s' "$name" | tr '[:lower:]' '[:upper:]')" = "FMPAC.ROM" ]; then
        fmpac=yes
        continue
    fi
    case $lower in
        -cart|-cass|-flop) ;;
        *) refuse 2 "unknown option '$option'" ;;
    esac
    [ -z "$media" ] || refuse 2 "more than one game given ('$media $file' and '$option $name')"
    media=$lower
    file=$name
done

cbios=no
case $machine in C-BIOS*) cbios=yes ;; esac

if [ -n "$media" ]; then
    [ -f "$file" ] || refuse 3 "game file '$file' not found in $(pwd)"
    if [ "$cbios" = yes ]; then
        case $media in
            -flop) refuse 4 "C-BIOS has no disk ROM, so '$file' cannot be loaded; set TARUMIN_${machine_name}_MACHINE to a machine whose ROMs you own" ;;
            -cass) refuse 4 "C-BIOS has no BASIC, so the tape '$file' cannot be loaded; set TARUMIN_${machine_name}_MACHINE to a machine whose ROMs you own" ;;
        esac
    fi
fi

extension=""
if [ "$fmpac" = yes ]; then
    if [ "$cbios" = yes ]; then
        if [ "$machine_name" = MSX2J ]; then
            machine=${TARUMIN_FMPAC_MACHINE:-C-BIOS_MSX2+_JP}
            say "FM-PAC: no FM-PAC ROM here; using the free MSX-MUSIC of $machine instead"
        else
            extension=tarumin_msx_music
            dir=${HOME:-/tmp}/.openMSX/share/extensions
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
            say "FM-PAC: no FM-PAC ROM here; adding the free C-BIOS MSX-MUSIC to $machine instead"
        fi
    else
        extension=fmpac
    fi
fi

set -- -machine "$machine"
[ -n "$extension" ] && set -- "$@" -ext "$extension"
case $media in
    -cart) set -- "$@" -cart "$file" ;;
    -cass) set -- "$@" -cassetteplayer "$file" ;;
    -flop) set -- "$@" -diska "$file" ;;
esac
exec "$openmsx" "$@"
