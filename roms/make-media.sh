#!/bin/sh
# Wraps an assembled sample program as the medium the catalogue names:
#   make-media.sh disk BOOT_SECTOR OUT.dsk     a 720 KB disk that boots it
#   make-media.sh tape BINARY NAME OUT.cas     a tape holding it as a binary file NAME
set -eu
case $1 in
disk)
    out=$3
    { cat "$2"
      # two FATs (media byte, then the two entries every FAT begins with), the rest empty
      for fat in 1 2; do printf '\371\377\377'; head -c $((3 * 512 - 3)) /dev/zero; done
      head -c $((737280 - 512 - 6 * 512)) /dev/zero
    } > "$out.part"
    [ "$(wc -c < "$out.part")" -eq 737280 ]
    mv "$out.part" "$out" ;;
tape)
    out=$4
    name=$(printf '%-6.6s' "$3")
    sync='\037\246\336\272\314\023\175\164'
    { printf "$sync"
      printf '\320\320\320\320\320\320\320\320\320\320'
      printf '%s' "$name"
      printf "$sync"
      cat "$2"
    } > "$out.part"
    mv "$out.part" "$out" ;;
*)
    echo "usage: make-media.sh disk BOOT OUT | tape BINARY NAME OUT" >&2
    exit 2 ;;
esac
