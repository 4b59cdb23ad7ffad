#!/bin/sh
# The Windows setup program, made with NSIS (makensis runs on Linux) from the portable folder:
# the program's files in the install folder, the sample program folder as its template
# (template\, seeded into %APPDATA%\tarumin at the first start), and the list of every file
# installed, so that the uninstaller removes those and nothing else.
#
#   scripts/windows-installer.sh PORTABLE_FOLDER VERSION OUTPUT_EXE
set -eu
portable=$1 version=$2 out=$3
top=$(cd "$(dirname "$0")/.." && pwd)
work="$(cd "$(dirname "$out")" && pwd)/installer"
rm -rf "$work"
mkdir -p "$work/payload/template"
cp -r "$portable"/. "$work/payload/"
mv "$work/payload/tarumin" "$work/payload/hash" "$work/payload/template/"
for game in "$work"/payload/*.rom "$work"/payload/*.dsk "$work"/payload/*.cas; do
    [ -f "$game" ] && mv "$game" "$work/payload/template/"
done

# A path of the payload as NSIS names it under the install folder (printf and sed only: no
# backslash in a name is ever read as an escape).
win() { printf '%s' "$1" | sed 's|^\./||; s|^\.$||; s|/|\\|g'; }
{
    printf '%s\n' '!macro TaruminInstallFiles'
    (cd "$work/payload" && find . -type d | sort) | while read -r dir; do
        rel=$(win "$dir")
        if [ -n "$rel" ]; then printf '    SetOutPath "$INSTDIR\\%s"\n' "$rel"; else printf '    SetOutPath "$INSTDIR"\n'; fi
        find "$work/payload/$dir" -maxdepth 1 -type f | sort | while read -r f; do printf '    File "%s"\n' "$f"; done
    done
    printf '%s\n' '    SetOutPath "$INSTDIR"' '!macroend' '!macro TaruminUninstallFiles'
    (cd "$work/payload" && find . -type f | sort) | while read -r f; do
        printf '    Delete "$INSTDIR\\%s"\n' "$(win "$f")"
    done
    (cd "$work/payload" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
        printf '    RMDir "$INSTDIR\\%s"\n' "$(win "$d")"
    done
    printf '%s\n' '!macroend'
} > "$work/files.nsh"

makensis -V2 -DVERSION="$version" -DFILES="$work/files.nsh" -DICON="$top/assets/windows/tarumin.ico" \
    -DOUTFILE="$out" "$top/dist/windows/installer.nsi"
echo "Windows setup: $out ($(du -k "$out" | cut -f1) KB)"
