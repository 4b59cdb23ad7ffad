#!/bin/sh
# Builds the Debian package (build-deb/tarumin_*.deb) with CPack, then, given "test",
# installs it and uses it as an unprivileged desktop user would (tests/package_test.sh).
#   scripts/package.sh [test]
. "$(dirname "$0")/common.sh"
install_packages $BUILD_PACKAGES dpkg-dev file
BUILD="$TOP/build-deb"
cmake -S "$TOP" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target Tarumin
(cd "$BUILD" && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD"/tarumin_*.deb)
echo "Built $deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Depends\|Recommends\):/  \1:/p'
if [ "${1:-}" = test ]; then
    install_packages $TEST_PACKAGES
    bash "$TOP/tests/package_test.sh" "$deb"
fi
