#!/bin/sh
# The kill and race loops with their full round counts (the everyday run takes a few of
# each): saves killed at random, seeding killed at random, two programs changing the
# catalogue at once, imports racing for one copy name, a change racing an editor that rewrites
# the catalogue in place.
. "$(dirname "$0")/common.sh"
install_packages $BUILD_PACKAGES $TEST_PACKAGES
build
cd "$BUILD"
TARUMIN_KILLS=${TARUMIN_KILLS:-200} TARUMIN_CHANGES=${TARUMIN_CHANGES:-500} \
TARUMIN_REWRITES=${TARUMIN_REWRITES:-60} \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -R '^test_(crash|platform|catalogue_file|onboarding)$'
