#!/bin/sh
# Runs the install commands of README.md exactly as they stand there, so that the README and
# what CI checks cannot drift apart. The install goes into a staging folder (DESTDIR), then the
# staged tree is checked for the programs and modules the README promises.
. "$(dirname "$0")/common.sh"
install_packages $BUILD_PACKAGES
cd "$TOP"
commands=$(sed -n '/^<!-- install commands/,/^<!-- end of install commands -->/p' README.md \
           | grep '^    ' | sed 's/^    //; s/  *#.*$//')
[ -n "$commands" ] || { echo "README.md has no install commands"; exit 1; }
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
echo "$commands" | while IFS= read -r line; do
    echo "+ $line"
    DESTDIR="$stage" sh -ec "$line"
done
arch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
for f in usr/bin/tarumin usr/bin/tarumin-import usr/libexec/tarumin/openmsx-adapter \
         usr/lib/$arch/tarumin/tarumin-sound.so usr/lib/$arch/tarumin/tarumin-zip.so \
         usr/lib/$arch/tarumin/tarumin-picture.so usr/share/tarumin/tarumin/list.csv; do
    [ -e "$stage/$f" ] || { echo "the README's install commands did not install $f"; exit 1; }
done
echo "README install commands: every promised file installed"
