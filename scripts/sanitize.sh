#!/bin/sh
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs the unit and widget
# tests (not the end-to-end, crash and fault tests, which run other programs).
. "$(dirname "$0")/common.sh"
install_packages $BUILD_PACKAGES
TARUMIN_BUILD="$TOP/build-asan"
BUILD="$TARUMIN_BUILD"
build -DTARUMIN_SANITIZE=ON
cd "$BUILD"
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
ASAN_OPTIONS=detect_leaks=1 \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -R '^test_(catalogue|catalogue_file|platform|main_window|entry_dialog|adapter)$'
