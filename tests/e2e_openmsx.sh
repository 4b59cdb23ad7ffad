#!/bin/bash
# A real emulator: the built program with the sample data and the openMSX adapter as mess.exe,
# under Xvfb. Clicking the power switch with a sample cartridge selected must open an openMSX
# window that runs the game: C-BIOS's own screens (its logo, "No cartridge found") have blue
# borders, the reaction game 反応テスト keeps the whole screen red. Then its state is saved from
# the snapshot's menu, openMSX is closed, and 続きから遊ぶ (Ctrl+Enter on the list) brings the
# game back from the state: openMSX started with -savestate, on the game's red screen.
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
(cd "$work" && TARUMIN_TEXT_PROBE="$work/typed" exec "$folder/Tarumin") > "$work/app.log" 2>&1 &
pids+=($!)
main=$(wait_window '^Tarumin') || fail "main window did not appear"

step "select 反応テスト and switch on"
click "$main" 60 71
click "$main" 59 399
emulator=$(BY=--class wait_window '^openmsx$' 300) || fail "no openMSX window"
emulator_pid=$(xdotool getwindowpid "$emulator" 2>/dev/null) && pids+=("$emulator_pid")
echo "   window: $(xdotool getwindowname "$emulator")"

# Whether the emulator's window shows the game (its red border) within a few seconds.
game_on_screen() {
    local window=$1
    for _ in $(seq 30); do
        sleep 0.5
        timeout 10 import -window "$window" "$work/screen.png" 2>/dev/null || continue
        colour=$(/usr/bin/convert "$work/screen.png" -crop 16x16+8+24 +repage -resize 1x1 -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
        set -- $colour
        [ "$1" -gt 150 ] && [ "$3" -lt 120 ] && return 0
    done
    return 1
}

step "the game runs"
game_on_screen "$emulator" || fail "the emulator's screen is not the game's (border colour $colour)"
cp "$work/screen.png" "${E2E_SCREENSHOT:-/dev/null}" 2>/dev/null

step "save its state from the snapshot's menu"
states="$folder/tarumin/states"
for _ in $(seq 6); do
    xdotool windowactivate --sync "$main" >/dev/null 2>&1
    xdotool mousemove --sync --window "$main" 420 100 click 3
    sleep 2 # the menu's items are filled when the running game answers
    xdotool key Down Down Return
    for _ in $(seq 20); do ls "$states"/*.oms >/dev/null 2>&1 && break 2; sleep 0.25; done
    xdotool key Escape
done
ls "$states"/*.oms >/dev/null 2>&1 || fail "no state was saved"
box=$(wait_window '^tarumin$') || fail "no message that the state was saved"
xdotool windowactivate --sync "$box" 2>/dev/null
xdotool key --clearmodifiers Return; xdotool keyup Return
wait_no_window '^tarumin$' || fail "the message stayed"
grep -q '"state"' "$folder/tarumin/player.json" || fail "the state is not remembered: $(cat "$folder/tarumin/player.json")"

step "close openMSX and play on from the state"
kill "$emulator_pid"
for _ in $(seq 100); do kill -0 "$emulator_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$emulator_pid" 2>/dev/null && fail "openMSX did not close"
# The list has the keyboard again once openMSX's window has gone (the program's text probe
# names the focused control).
for _ in $(seq 50); do
    click "$main" 60 71
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$main" ] && [ "$(head -n 1 "$work/typed" 2>/dev/null)" = List1 ] && break
    sleep 0.1
done
[ "$(head -n 1 "$work/typed" 2>/dev/null)" = List1 ] || fail "the list does not have the keyboard: $(head -n 1 "$work/typed")"
xdotool key --clearmodifiers ctrl+Return
emulator=$(BY=--class wait_window "^openmsx$" 300) || fail "no openMSX window for the state"
emulator_pid=$(xdotool getwindowpid "$emulator" 2>/dev/null) && pids+=("$emulator_pid")
tr '\0' ' ' < "/proc/$emulator_pid/cmdline" | grep -q -- '-savestate' || fail "openMSX was not started from the state: $(tr '\0' ' ' < "/proc/$emulator_pid/cmdline")"
game_on_screen "$emulator" || fail "the game did not come back from its state (border colour $colour)"
echo "1 passed, 0 failed"
