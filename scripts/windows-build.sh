#!/bin/sh
# Tarumin for Windows, from Debian's own sources: Qt (qtbase) cross-built with mingw-w64 once,
# into a cache outside the clone (~/.cache/tarumin/, keyed by Qt's version and the hash of
# scripts/windows-qt.sh), then Tarumin, tarumin-import and the tests, the portable folder as
# build-win/Tarumin-<version>-win64.zip, the setup program build-win/Tarumin-<version>-setup.exe
# and the package managers' manifests for both (build-win/manifests/).
# With "test", the tests then run under Wine, with a Japanese (code page 932) and a Western
# (1252) locale, the program is driven end to end on a virtual display, and the setup program
# installs, updates and uninstalls.
#
#   scripts/windows-build.sh [test]
. "$(dirname "$0")/common.sh"
MODE=${1:-build}
install_packages cmake ninja-build g++-mingw-w64-x86-64-posix dpkg-dev qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-l10n-tools zip libz-mingw-w64-dev libzip-dev nsis
[ "$MODE" = test ] && install_packages wine wine64 xvfb xauth openbox xdotool x11-utils imagemagick locales fonts-ipafont-gothic

VERSION=$(sed -n 's/^project(Tarumin VERSION \([0-9.]*\).*/\1/p' "$TOP/CMakeLists.txt")
QT_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/[+~-].*//')
CACHE=${TARUMIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarumin}
KEY=$(sha256sum "$TOP/scripts/windows-qt.sh" | cut -c1-12)
QT_PREFIX="$CACHE/qt-$QT_VERSION-mingw64-$KEY"
ZIP_VERSION=$(dpkg-query -W -f='${Version}' libzip-dev | sed 's/[+~-].*//')
ZIP_KEY=$(sha256sum "$TOP/scripts/windows-libzip.sh" | cut -c1-12)
ZIP_PREFIX="$CACHE/libzip-$ZIP_VERSION-mingw64-$ZIP_KEY"
WIN="$TOP/build-win"
MINGW_RUNTIME=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
mkdir -p "$WIN" "$CACHE"

cat > "$WIN/mingw64.cmake" <<CMAKE
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $QT_PREFIX $ZIP_PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
CMAKE

# Debian's source packages: the archive this machine already uses, as deb-src, for as long as
# the sources are fetched; what was added to apt's sources goes again afterwards.
ADDED_SOURCES=""
source_lists() {
    apt-get source --print-uris qt6-base >/dev/null 2>&1 && return 0
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && grep -q '^Types:.*deb' "$f" || continue
        out="/etc/apt/sources.list.d/tarumin-src-$(basename "$f")"
        sed 's/^Types:.*/Types: deb-src/' "$f" > "$out"
        ADDED_SOURCES="$ADDED_SOURCES $out"
    done
    if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/tarumin-src.list
        ADDED_SOURCES="$ADDED_SOURCES /etc/apt/sources.list.d/tarumin-src.list"
    fi
    apt-get update -qq
}
undo_source_lists() {
    [ -n "$ADDED_SOURCES" ] || return 0
    rm -f $ADDED_SOURCES
    ADDED_SOURCES=""
    apt-get update -qq || true
}
trap undo_source_lists EXIT

# Qt for Windows, built once: a folder without its stamp is a build that was cut short.
if [ ! -f "$QT_PREFIX/.complete" ]; then
    source_lists
    echo "Building Qt $QT_VERSION for Windows into $QT_PREFIX (once; about 25 minutes on 2 cores)"
    started=$(date +%s)
    rm -rf "$QT_PREFIX"
    # Qt of other recipes goes; a build of this one cut short is gone on with.
    for old in "$CACHE"/qt-*-mingw64-*; do
        [ "$old" = "$QT_PREFIX.work" ] || rm -rf "$old"
    done
    sh "$TOP/scripts/windows-qt.sh" "$QT_PREFIX" "$WIN/mingw64.cmake"
    touch "$QT_PREFIX/.complete"
    echo "Qt for Windows built in $(( $(date +%s) - started )) s"
fi

# libzip for Windows, built once the same way (under half a minute).
if [ ! -f "$ZIP_PREFIX/.complete" ]; then
    source_lists
    for old in "$CACHE"/libzip-*-mingw64-*; do rm -rf "$old"; done
    sh "$TOP/scripts/windows-libzip.sh" "$ZIP_PREFIX" "$WIN/mingw64.cmake"
    touch "$ZIP_PREFIX/.complete"
fi

# Tarumin, its modules and its tests.
undo_source_lists

cmake -S "$TOP" -B "$WIN/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WIN/mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$QT_PREFIX;$ZIP_PREFIX" \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >/dev/null
ninja -C "$WIN/build"


# The portable folder, exactly as a user unpacks it beside mess.exe.
portable="$WIN/Tarumin-$VERSION-win64"
rm -rf "$portable" "$portable.zip"
mkdir -p "$portable"
app="$WIN/build/app"
cp "$app/Tarumin.exe" "$app/tarumin-import.exe" "$app/tarumin-openmsx.exe" "$portable/"
for module in tarumin-sound tarumin-picture tarumin-zip; do
    [ -f "$app/$module.dll" ] && cp "$app/$module.dll" "$portable/"
done
sh "$TOP/scripts/windows-deploy.sh" "$portable" "$QT_PREFIX"
cp -r "$TOP/sample/tarumin" "$TOP/sample/hash" "$portable/"
cp "$TOP"/sample/*.rom "$TOP"/sample/*.dsk "$TOP"/sample/*.cas "$TOP/LICENSE" "$portable/"
x86_64-w64-mingw32-strip "$portable"/*.exe "$portable"/tarumin-*.dll
(cd "$WIN" && zip -qr "Tarumin-$VERSION-win64.zip" "Tarumin-$VERSION-win64")
echo "Windows build: $WIN/Tarumin-$VERSION-win64.zip ($(du -k "$WIN/Tarumin-$VERSION-win64.zip" | cut -f1) KB)"
sh "$TOP/scripts/windows-installer.sh" "$portable" "$VERSION" "$WIN/Tarumin-$VERSION-setup.exe"
sh "$TOP/scripts/windows-manifests.sh" "$VERSION" "$WIN/Tarumin-$VERSION-setup.exe" \
    "$WIN/Tarumin-$VERSION-win64.zip" "$WIN/manifests"

[ "$MODE" = test ] || exit 0
exec bash "$TOP/tests/windows_test.sh" "$WIN" "$QT_PREFIX" "$portable" "$MINGW_RUNTIME"
