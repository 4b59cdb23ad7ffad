#!/bin/sh
# Installs what is missing, builds, and starts Tarumin on the sample data beside it
# (build/app/Tarumin with build/app/tarumin/).
. "$(dirname "$0")/common.sh"

install_packages $BUILD_PACKAGES
build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built $BUILD/app/Tarumin, but this machine has no display to show it on."
    echo "To run it on a virtual display:  apt-get install -y xvfb && xvfb-run -a $BUILD/app/Tarumin"
    exit 1
fi
exec "$BUILD/app/Tarumin"
