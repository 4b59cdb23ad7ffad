#!/bin/bash
# The Debian package, installed for real and used the way a desktop user would: as an
# unprivileged user, started by the desktop entry's command under Xvfb and openbox, a game
# registered through the window, the user's own catalogue checked. Run as root (it installs
# the package, adds a user, and takes both away again).
#
#   package_test.sh PACKAGE.deb
set -u
deb=$1
for tool in Xvfb openbox xdotool xdpyinfo runuser useradd; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
. "$(dirname "$0")/x11_lib.sh"
user=tarumin-ci
cleanup_package() {
    cleanup
    pkill -KILL -u "$user" 2>/dev/null
    sleep 0.2
    userdel -r "$user" >/dev/null 2>&1
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tarumin >/dev/null 2>&1
}
trap cleanup_package EXIT

step "install the package"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$(realpath "$deb")" >/dev/null || fail "apt-get install"
command -v tarumin >/dev/null || fail "tarumin is not on the PATH"
desktop=/usr/share/applications/org.tarumin.Tarumin.desktop
[ -f "$desktop" ] || fail "no desktop entry"
[ -f /usr/share/icons/hicolor/256x256/apps/org.tarumin.Tarumin.png ] || fail "no icon"
command="$(sed -n 's/^Exec=//p' "$desktop")"

step "start it from its desktop entry as an unprivileged user"
userdel -r "$user" >/dev/null 2>&1
useradd -m "$user" || fail "useradd"
home=$(getent passwd "$user" | cut -d: -f6)
start_display
runuser -u "$user" -- env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" \
    LANG=C.UTF-8 sh -c "exec $command" > "$work/app.log" 2>&1 &
app=$!
pids+=($app)
main=$(wait_window '^Tarumin') || fail "main window did not appear"
# The desktop matches the window to its entry: the window's class is the entry's StartupWMClass.
wmclass=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$wmclass" ] || fail "the desktop entry has no StartupWMClass"
class=$(xprop -id "$main" WM_CLASS | sed -n 's/.*= ".*", "\(.*\)"$/\1/p')
[ "$class" = "$wmclass" ] || fail "window class $class, desktop entry's StartupWMClass $wmclass"
man -w tarumin >/dev/null 2>&1 || [ -f /usr/share/man/man1/tarumin.1.gz ] || fail "no manual page"
[ -f /usr/share/doc/tarumin/copyright ] || fail "no copyright file"
data="$home/.local/share/tarumin"
[ -f "$data/tarumin/list.csv" ] || fail "the user's catalogue was not made"
[ "$(stat -c %U "$data/tarumin/list.csv")" = "$user" ] || fail "the catalogue is not the user's"
cp "$data/tarumin/list.csv" "$work/before.csv"

step "register a game through the window"
click "$main" 40 16
dialog=$(wait_window '^リスト登録$') || fail "no entry dialog"
click "$dialog" 150 33
xdotool type --delay 30 'Package Test'
click "$dialog" 125 186
xdotool key Home Return
click "$dialog" 160 209
xdotool type --delay 30 'pkgtest'
click "$dialog" 108 252
# pkgtest.rom is not there: the question is answered with Y, then the outcome is closed.
question=$(wait_window '^tarumin$') || fail "no question about the missing file"
xdotool windowactivate --sync "$question" 2>/dev/null
xdotool key --clearmodifiers y
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^tarumin$' 2>/dev/null | grep -qx "$question" || break
    sleep 0.1
done
box=$(wait_window '^tarumin$') || fail "no message after the registration"
xdotool windowactivate --sync "$box" 2>/dev/null
xdotool key --clearmodifiers Return
xdotool keyup Return
wait_no_window '^tarumin$' || fail "message box stayed"
{ cat "$work/before.csv"; printf 'Package Test,,,,,,pkgtest,-cart pkgtest.rom\r\n'; } > "$work/expected.csv"
cmp -s "$data/tarumin/list.csv" "$work/expected.csv" || fail "the user's catalogue: $(tail -c 120 "$data/tarumin/list.csv")"
cmp -s /usr/share/tarumin/tarumin/list.csv "$work/before.csv" || fail "the installed template changed"
echo "package: all checks passed"
