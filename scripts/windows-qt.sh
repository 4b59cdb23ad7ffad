#!/bin/sh
# Builds Qt (qtbase: Core, Gui, Widgets, Concurrent, Test; the windows and offscreen platform
# plugins; GIF, JPEG and PNG) for 64-bit Windows with mingw-w64, from Debian's own source of
# the Qt this system has, and installs it into PREFIX. Debian's moc, rcc and uic are the host
# tools. Called by windows-build.sh, which keeps the result keyed by this file's hash.
#
#   scripts/windows-qt.sh PREFIX TOOLCHAIN_FILE
#
# The build folder (PREFIX.work, about 1 GB) is kept when a build fails, so that the next run
# goes on where it stopped, and removed once Qt is installed.
set -eu
PREFIX=$1
TOOLCHAIN=$2
work="$PREFIX.work"
mkdir -p "$work"
cd "$work"
# Debian's source, its patches applied.
src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
if [ -z "$src" ]; then
    apt-get source -qq qt6-base >/dev/null 2>&1 || apt-get source qt6-base
    src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    # Without OpenGL, the windows platform plugin still names OpenGL's context in one check.
    sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
        "$src/src/plugins/platforms/windows/qwindowswindow.cpp"
fi
# Debian's repacked source lacks the Wacom tablet headers: tablet support is turned off.
[ -f build/build.ninja ] || cmake -S "$src" -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF -DQT_GENERATE_SBOM=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_glib=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF -DFEATURE_system_textmarkdownreader=OFF \
    -DFEATURE_sql_sqlite=OFF -DFEATURE_openssl=OFF >configure.log 2>&1 || { tail -40 configure.log; exit 1; }
ninja -C build
ninja -C build install >/dev/null
cd /
rm -rf "$work"
