#!/bin/sh
# Puts beside Windows programs what they load: Qt's DLLs (and Qt Test's with "test"), its
# platform, picture and style plugins, the mingw runtime and Qt's own Japanese words. Host
# paths are asked of the tools that know them.
#   scripts/windows-deploy.sh FOLDER QT_PREFIX [test]
set -eu
to=$1 qt=$2
runtime() { x86_64-w64-mingw32-g++-posix -print-file-name="$1"; }
dlls="Qt6Core Qt6Gui Qt6Widgets Qt6Concurrent"
[ "${3:-}" = test ] && dlls="$dlls Qt6Test"
mkdir -p "$to/platforms" "$to/imageformats" "$to/styles" "$to/translations"
for dll in $dlls; do cp "$qt/bin/$dll.dll" "$to/"; done
cp "$qt/plugins/platforms/qwindows.dll" "$qt/plugins/platforms/qoffscreen.dll" "$to/platforms/"
cp "$qt"/plugins/imageformats/q*.dll "$to/imageformats/"
cp "$qt"/plugins/styles/q*.dll "$to/styles/" 2>/dev/null || true
cp "$(runtime libstdc++-6.dll)" "$(runtime libgcc_s_seh-1.dll)" "$(runtime libwinpthread-1.dll)" "$to/"
# Qt's own words in Japanese (the file dialog, the message box's buttons): Debian's.
cp "$(qtpaths6 --query QT_INSTALL_TRANSLATIONS)/qtbase_ja.qm" "$to/translations/"
