#!/bin/sh
# Builds the Debian package (build-deb/tarumin_*.deb) with CPack, then, given "test",
# installs it and uses it as an unprivileged desktop user would (tests/package_test.sh).
#   scripts/package.sh [test]
. "$(dirname "$0")/common.sh"
install_packages $BUILD_PACKAGES dpkg-dev file
BUILD="$TOP/build-deb"
# The maintainer is whoever builds the package: DEBFULLNAME and DEBEMAIL, as Debian's own tools
# take them, or the author of the repository's latest commit.
if [ -n "${DEBEMAIL:-}" ]; then
    maintainer="${DEBFULLNAME:-$DEBEMAIL} <$DEBEMAIL>"
else
    maintainer=$(git -C "$TOP" log -1 --format='%an <%ae>' 2>/dev/null || true)
fi
[ -n "$maintainer" ] || { echo "Set DEBFULLNAME and DEBEMAIL: the package needs a maintainer."; exit 1; }
configure_and_build "$BUILD" "Tarumin tarumin-import compressed_docs" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DTARUMIN_MAINTAINER="$maintainer"
(cd "$BUILD" && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD"/tarumin_*.deb)
echo "Built $deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Depends\|Recommends\):/  \1:/p'
if [ "${1:-}" = test ]; then
    install_packages $TEST_PACKAGES lintian
    # lintian must find no error; each warning left has an override with its reason.
    lintian --fail-on error --tag-display-limit 0 "$deb" || exit 1
    bash "$TOP/tests/package_test.sh" "$deb"
fi
