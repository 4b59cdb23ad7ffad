#!/bin/sh
# Installs what is missing, builds, and runs every test.
. "$(dirname "$0")/common.sh"

install_packages $BUILD_PACKAGES $TEST_PACKAGES
build
cd "$BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
