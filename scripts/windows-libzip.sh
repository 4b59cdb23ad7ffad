#!/bin/sh
# Builds libzip for 64-bit Windows with mingw-w64, from Debian's own source of the libzip this
# system has, as a static library over Debian's zlib for mingw (libz-mingw-w64-dev), and
# installs it into PREFIX. Only reading is asked of it: no encryption, bzip2 or xz. Called by
# windows-build.sh, which keeps the result keyed by this file's hash.
#
#   scripts/windows-libzip.sh PREFIX TOOLCHAIN_FILE
set -eu
PREFIX=$1
TOOLCHAIN=$2
work="$PREFIX.work"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
apt-get source -qq libzip >/dev/null 2>&1 || apt-get source libzip
src=$(find . -maxdepth 1 -type d -name 'libzip-*' | head -n 1)
cmake -S "$src" -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF \
    -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
    >configure.log 2>&1 || { tail -40 configure.log; exit 1; }
ninja -C build >/dev/null
ninja -C build install >/dev/null
cd /
rm -rf "$work"
