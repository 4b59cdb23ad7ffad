# Shared by the run and test scripts: installs the Debian packages that are missing, then
# configures and builds.
set -eu

TOP=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${TARUMIN_BUILD:-$TOP/build}

BUILD_PACKAGES="g++ cmake make qt6-base-dev qt6-multimedia-dev qt6-translations-l10n qt6-l10n-tools libzip-dev libssl-dev pkg-config fonts-ipafont-gothic"
TEST_PACKAGES="tcl xvfb xauth openbox xdotool x11-utils imagemagick openmsx cbios pasmo desktop-file-utils appstream zip"
EMULATOR_PACKAGES="openmsx cbios"

install_packages() {
    missing=""
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
}

# configure_and_build DIR "TARGET..." [CMAKE OPTION...]: configures DIR (RelWithDebInfo unless
# an option names another build type) and builds the targets, or everything when none is named.
configure_and_build() {
    dir=$1 targets=$2
    shift 2
    cmake -S "$TOP" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    if [ -n "$targets" ]; then
        cmake --build "$dir" -j "$(nproc)" --target $targets
    else
        cmake --build "$dir" -j "$(nproc)"
    fi
}

# Everything, in $BUILD.
build() {
    configure_and_build "$BUILD" "" "$@"
}
