#!/bin/sh
# Compiles every source file as for Windows (mingw-w64, syntax only, against the Qt headers
# Debian has), so that the Windows branches of the platform layer cannot rot unseen. Nothing
# is linked: Debian has no Qt for Windows to link with.
. "$(dirname "$0")/common.sh"
install_packages g++-mingw-w64-x86-64-posix qt6-base-dev qt6-multimedia-dev qt6-l10n-tools libzip-dev libssl-dev
QT=$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)
CXX=x86_64-w64-mingw32-g++-posix
# libzip's two headers alone (the rest of /usr/include is this system's, not Windows').
zipinc=$(mktemp -d)
trap 'rm -rf "$zipinc"' EXIT
cp /usr/include/zip.h "$zipinc/"
cp "$(dpkg -L libzip-dev | grep '/zipconf.h$' | head -n 1)" "$zipinc/"
# OpenSSL's headers, with the configuration header Debian keeps per architecture.
cp -r /usr/include/openssl "$zipinc/"
arch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
cp "/usr/include/$arch/openssl/configuration.h" "/usr/include/$arch/openssl/opensslconf.h" "$zipinc/openssl/"
# The checked-in sources only: moc output and generated files are left to a real build.
failed=0
for f in $(cd "$TOP" && git ls-files 'src/*.cpp'); do
    if ! "$CXX" -std=c++20 -fsyntax-only -w -DUNICODE -D_UNICODE \
        -DTARUMIN_VERSION='"0"' -DTARUMIN_TEMPLATE_FROM_BIN='"t"' -DTARUMIN_ADAPTER_FROM_BIN='"a"' \
        -DTARUMIN_MODULE_FROM_BIN='"m"' \
        -I"$QT" -I"$QT/QtCore" -I"$QT/QtGui" -I"$QT/QtWidgets" -I"$QT/QtMultimedia" \
        -I"$zipinc" -I"$TOP/src" "$TOP/$f"; then
        echo "FAILED for Windows: $f"
        failed=1
    fi
done
[ "$failed" -eq 0 ] && echo "Windows syntax check: every source compiles"
exit "$failed"
