#!/bin/bash
# A real emulator: the built program with the sample data and the openMSX adapter as mess.exe,
# under Xvfb. Clicking the power switch with a sample cartridge selected must open an openMSX
# window that runs the game: C-BIOS's own screens (its logo, "No cartridge found") have blue
# borders, the reaction game 反応テスト keeps the whole screen red.
#
#   e2e_openmsx.sh BUILT_PROGRAM SAMPLE_FOLDER ADAPTER
set -u
program=$1
sample=$2
adapter=$3
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
for tool in Xvfb openbox xdotool xdpyinfo openmsx import /usr/bin/convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -f /usr/share/cbios/cbios_main_msx2_jp.rom ] || { echo "SKIP: cbios is not installed"; exit 77; }

. "$(dirname "$0")/x11_lib.sh"

mkdir -p "$folder"
cp "$program" "$folder/"
cp -r "$sample"/. "$folder/"
cp "$adapter" "$folder/mess.exe"
chmod +x "$folder/mess.exe"
export HOME="$work"
start_display

step "start-up"
(cd "$work" && exec "$folder/Tarumin") > "$work/app.log" 2>&1 &
pids+=($!)
main=$(wait_window '^Tarumin') || fail "main window did not appear"

step "select 反応テスト and switch on"
click "$main" 60 71
click "$main" 59 399
emulator=$(BY=--class wait_window '^openmsx$' 300) || fail "no openMSX window"
emulator_pid=$(xdotool getwindowpid "$emulator" 2>/dev/null) && pids+=("$emulator_pid")
echo "   window: $(xdotool getwindowname "$emulator")"

step "the game runs"
# Give the machine time to boot and start the cartridge, then look at the screen's border.
for _ in $(seq 30); do
    sleep 0.5
    import -window "$emulator" "$work/screen.png" 2>/dev/null || continue
    colour=$(/usr/bin/convert "$work/screen.png" -crop 16x16+8+24 +repage -resize 1x1 -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
    set -- $colour
    if [ "$1" -gt 150 ] && [ "$3" -lt 120 ]; then
        cp "$work/screen.png" "${E2E_SCREENSHOT:-/dev/null}" 2>/dev/null
        echo "1 passed, 0 failed"
        exit 0
    fi
done
cp "$work/screen.png" "${E2E_SCREENSHOT:-/dev/null}" 2>/dev/null
fail "the emulator's screen is not the game's (border colour $colour)"
