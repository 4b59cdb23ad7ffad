#!/bin/sh
# Installs what is missing, builds, and starts Tarumin on the sample data beside it
# (build/app/Tarumin with build/app/tarumin/).
. "$(dirname "$0")/common.sh"

install_packages $BUILD_PACKAGES $EMULATOR_PACKAGES
# Only what running needs: the program with its modules, and tarumin-import beside it (no
# tests, no benchmark).
configure_and_build "$BUILD" "Tarumin tarumin-import"

# On Linux, mess.exe is the openMSX adapter (tarumin-openmsx, built beside the program), unless
# the program's folder has one of its own. A copy of the adapter's old shell version is ours to
# replace.
app="$BUILD/app"
if grep -qs 'mess.exe for Linux: takes the command line Tarumin gives MESS' "$app/mess.exe"; then
    rm -f "$app/mess.exe"
fi
if [ ! -e "$app/mess.exe" ] && [ ! -L "$app/mess.exe" ]; then
    ln -s tarumin-openmsx "$app/mess.exe"
    echo "Installed the openMSX adapter as $app/mess.exe"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built $BUILD/app/Tarumin, but this machine has no display to show it on."
    echo "To run it on a virtual display:  apt-get install -y xvfb && xvfb-run -a $BUILD/app/Tarumin"
    exit 1
fi
exec "$BUILD/app/Tarumin"
