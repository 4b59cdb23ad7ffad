#!/bin/bash
# End to end through a real X server: the built program, copied into a program folder whose
# name holds a blank, with its own data and a stand-in emulator, driven by mouse and keyboard
# with xdotool under Xvfb and openbox.
#
#   e2e_x11.sh BUILT_PROGRAM SAMPLE_DATA_FOLDER
set -u
program=$1
sample=$2
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
for tool in Xvfb openbox xdotool xdpyinfo iconv; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

. "$(dirname "$0")/x11_lib.sh"

# Waits up to 10 s for the stand-in emulator's n-th start and prints its record.
wait_launch() {
    for _ in $(seq 100); do
        if [ -f "$folder/launches.txt" ] && [ "$(wc -l < "$folder/launches.txt")" -ge "$1" ]; then
            sed -n "${1}p" "$folder/launches.txt"; return 0
        fi
        sleep 0.1
    done
    return 1
}
# Answers はい to a question box from the keyboard.
answer_yes() {
    box=$(wait_window '^tarumin$') || fail "no question ($1)"
    xdotool windowactivate --sync "$box" 2>/dev/null
    xdotool key --clearmodifiers y
    # The next box (the outcome) has the same caption: this one must be gone.
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '^tarumin$' 2>/dev/null | grep -qx "$box" || return 0
        sleep 0.1
    done
    fail "question stayed ($1)"
}
# Closes the message box with the keyboard and checks its text was about what we expect.
close_message() {
    box=$(wait_window '^tarumin$') || fail "no message box ($1)"
    xdotool windowactivate --sync "$box" 2>/dev/null
    xdotool key --clearmodifiers Return
    wait_no_window '^tarumin$' || fail "message box stayed ($1)"
}
sjis() { printf '%s\r\n' "$1" | iconv -f UTF-8 -t CP932; }

# What the program's text probe says: the focused widget's name, and the focused field's text.
focused() { head -n 1 "$work/typed" 2>/dev/null; }
field_text() { tail -n +2 "$work/typed" 2>/dev/null; }
# Waits until the widget of that name has the focus (a click is taken a moment later).
wait_focus() {
    for _ in $(seq 250); do [ "$(focused)" = "$1" ] && return 0; sleep 0.02; done
    fail "the focus went to '$(focused)', not to $1"
}

# Types into the focused field one character at a time, each read back from the program (its
# text probe) before the next; a character the X server dropped under load is typed again.
# xdotool maps each kana to a spare key code as it goes, and maps it back after the delay: the
# delay gives the program the time to read the key with its mapping.
type_text() {
    local LC_ALL=C.UTF-8 text=$1 typed="" i c try n
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        for try in 1 2 3; do
            xdotool type --delay 150 "$c"
            for n in $(seq 150); do
                [ "$(field_text)" = "$typed$c" ] && break 2
                # Still without it after a second: typed again.
                [ "$(field_text)" = "$typed" ] && [ "$n" -ge 50 ] && break
                sleep 0.02
            done
        done
        typed="$typed$c"
        [ "$(field_text)" = "$typed" ] || fail "typed '$typed', the field holds '$(field_text)'"
    done
}

# The program folder.
mkdir -p "$folder"
cp "$program" "$folder/"
cp -r "$sample" "$folder/tarumin"
cp "$sample"/../*.rom "$sample"/../*.dsk "$sample"/../*.cas "$folder/" # the sample games
cat > "$folder/mess.exe" <<'SH'
#!/bin/sh
{ printf '%s' "$(pwd)"; for a in "$@"; do printf '|%s' "$a"; done; echo; } >> "$(dirname "$0")/launches.txt"
SH
chmod +x "$folder/mess.exe"
list="$folder/tarumin/list.csv"
cp "$list" "$work/original.csv"

start_display

step "start-up"
(cd "$work" && TARUMIN_TEXT_PROBE="$work/typed" exec "$folder/Tarumin") > "$work/app.log" 2>&1 &
app=$!
pids+=($app)
main=$(wait_window '^Tarumin') || fail "main window did not appear"
[ "$(xdotool getwindowname "$main")" = "Tarumin（Ｖｅｒ0.9）" ] || fail "main window title"

row() { echo $((57 + 14 * $1)); }

# The marks of missing files stand at the rows' right end: how many colours the list shows
# there, rows 2 to 14 (the first may carry the focus's frame). One is the list's own grey.
mark_colours() {
    import -window "$main" "$work/list.png" 2>/dev/null &&
        convert "$work/list.png" -crop 22x182+214+64 +repage -unique-colors txt:- | tail -n +2 | wc -l
}
wait_mark_colours() { # until the test holds for the count, up to 10 s
    for _ in $(seq 50); do
        n=$(mark_colours) && eval "[ \"\$n\" $1 ]" && return 0
        sleep 0.2
    done
    return 1
}

step "first start: every sample game is there, none marked missing"
sleep 1 # the files are looked at once the window is up
[ "$(mark_colours)" = 1 ] || fail "a game is marked missing at the first start"
# The look does reach the window: a file taken away is marked, and unmarked once back.
mv "$folder/umibe.cas" "$work/umibe.cas"
touch "$list"
wait_mark_colours '-gt 1' || fail "a missing file was not marked"
mv "$work/umibe.cas" "$folder/umibe.cas"
touch "$list"
wait_mark_colours '-eq 1' || fail "a file put back stayed marked"

step "select the first game and switch on"
click "$main" 60 "$(row 0)"
click "$main" 59 399
got=$(wait_launch 1) || fail "the emulator did not start"
[ "$got" = "$folder|MSX2J|-cart|hoshikaze.rom" ] || fail "first launch: $got"

step "MSXJ with FM-PAC, switch off (starts again)"
click "$main" 232 317
xdotool key End Return
click "$main" 25 317
click "$main" 59 399
got=$(wait_launch 2) || fail "the emulator did not start again"
[ "$got" = "$folder|MSXJ|-CART|FMPAC.ROM|-cart|hoshikaze.rom" ] || fail "second launch: $got"

step "delete the second game"
click "$main" 60 "$(row 1)"
click "$main" 152 16
answer_yes delete
close_message delete
sed '2d' "$work/original.csv" > "$work/expected.csv"
cmp -s "$list" "$work/expected.csv" || fail "catalogue after delete"

step "register a game typed in Japanese"
click "$main" 40 16
dialog=$(wait_window '^リスト登録$') || fail "no entry dialog"
# The dialog stays in front of the main window: it is transient for it.
xprop -id "$dialog" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$main")" \
    || fail "entry dialog not transient for the main window: $(xprop -id "$dialog" WM_TRANSIENT_FOR)"
click "$dialog" 150 33
wait_focus GameName
type_text 'テスト星人'
click "$dialog" 108 65
wait_focus media
type_text 'ROM'
click "$dialog" 125 186
xdotool key Home Return
click "$dialog" 160 209
wait_focus GameFileName
type_text 'testgame'
click "$dialog" 108 252
answer_yes "register a file not there yet"
close_message register
wait_no_window '^リスト登録$' || fail "entry dialog stayed"
{ cat "$work/expected.csv"; sjis 'テスト星人,ROM,,,,,testgame,-cart testgame.rom'; } > "$work/expected2.csv"
cmp -s "$list" "$work/expected2.csv" || fail "catalogue after register: $(tail -c 80 "$list" | iconv -f CP932 -t UTF-8)"

step "edit the new game (a new slot alone keeps the file)"
count=$(wc -l < "$work/expected2.csv")
click "$main" 60 "$(row $((count - 1)))"
click "$main" 96 16
dialog=$(wait_window '^リスト登録$') || fail "no entry dialog for edit"
click "$dialog" 108 89
wait_focus Maker
type_text 'Maker'
click "$dialog" 125 186
xdotool key Home Down Return
click "$dialog" 108 252
close_message edit
{ head -n $((count - 1)) "$work/expected2.csv"; sjis 'テスト星人,ROM,,Maker,,,testgame,-cass testgame.rom'; } > "$work/expected3.csv"
cmp -s "$list" "$work/expected3.csv" || fail "catalogue after edit: $(tail -c 80 "$list" | iconv -f CP932 -t UTF-8)"

step "Enter presses the focused button, in both windows"
click "$main" 60 "$(row 0)"
xdotool key --clearmodifiers Tab Tab Return
xdotool keyup Return
dialog=$(wait_window '^リスト登録$') || fail "Enter on the focused register button opened no dialog"
click "$dialog" 150 33
xdotool key --clearmodifiers Tab Tab Tab Tab Tab Tab Tab Return
xdotool keyup Return
wait_no_window '^リスト登録$' || fail "Enter on the focused close button did not close the dialog"
sleep 0.5

step "Esc closes the entry dialog"
click "$main" 40 16
dialog=$(wait_window '^リスト登録$') || fail "no entry dialog"
xdotool windowactivate --sync "$dialog" 2>/dev/null
xdotool key --clearmodifiers Escape
xdotool keyup Escape
wait_no_window '^リスト登録$' || fail "Esc did not close the entry dialog"
sleep 0.5

step "Enter on the list starts the selected game"
click "$main" 60 "$(row 0)"
xdotool key --clearmodifiers Return
got=$(wait_launch 3) || fail "Enter on the list started nothing"
[ "$got" = "$folder|MSXJ|-CART|FMPAC.ROM|-cart|hoshikaze.rom" ] || fail "keyboard launch: $got"

# (xdotool mousemove --sync waits for a motion that never comes when the pointer is there
# already: move away first.)
away() { xdotool mousemove --sync --window "$main" 300 300; }

step "the power switch by the keyboard: Shift+Tab from the list, then Space"
click "$main" 60 "$(row 0)"
xdotool key --clearmodifiers shift+Tab space
got=$(wait_launch 4) || fail "Space on the power switch started nothing"
[ "$got" = "$folder|MSXJ|-CART|FMPAC.ROM|-cart|hoshikaze.rom" ] || fail "power switch by keys: $got"

step "a double-click on a list entry starts it"
sleep 0.6
away
xdotool mousemove --sync --window "$main" 60 "$(row 0)" click --repeat 2 --delay 60 1
got=$(wait_launch 5) || fail "a double-click on the list started nothing"
[ "$got" = "$folder|MSXJ|-CART|FMPAC.ROM|-cart|hoshikaze.rom" ] || fail "double-click launch: $got"

step "a double-click on the power switch starts one emulator"
sleep 0.6
away
xdotool mousemove --sync --window "$main" 59 399 click --repeat 2 --delay 60 1
wait_launch 6 >/dev/null || fail "the double-click on the switch started nothing"
sleep 1.5
[ "$(wc -l < "$folder/launches.txt")" -eq 6 ] || fail "a double-click on the switch started $(($(wc -l < "$folder/launches.txt") - 5)) emulators"

step "an emulator that fails at once is reported"
cp "$folder/mess.exe" "$work/mess.ok"
cat > "$folder/mess.exe" <<'SH'
#!/bin/sh
echo "cannot run this tape" >&2
exit 4
SH
sleep 0.6
away
click "$main" 59 399
close_message "emulator failure"
xdotool keyup Return
cp "$work/mess.ok" "$folder/mess.exe"

step "closing the main window while the entry dialog is open keeps both"
click "$main" 40 16
dialog=$(wait_window '^リスト登録$') || fail "no entry dialog"
xdotool windowactivate "$main" 2>/dev/null
xdotool key --clearmodifiers alt+F4
sleep 1
kill -0 "$app" 2>/dev/null || fail "the program ended with the entry dialog open"
wait_window '^リスト登録$' >/dev/null || fail "the entry dialog went away"
click "$dialog" 185 252
wait_no_window '^リスト登録$' || fail "entry dialog stayed after its close button"

step "close the main window: the program ends"
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end"
wait "$app" || fail "the program ended with status $?"

step "each game keeps its machine and FM-PAC across a restart"
start_again() {
    (cd "$work" && TARUMIN_TEXT_PROBE="$work/typed" exec "$folder/Tarumin") > "$work/app.log" 2>&1 &
    app=$!
    pids+=($app)
    main=$(wait_window '^Tarumin') || fail "the main window did not come back"
}
close_main() {
    xdotool windowactivate --sync "$main" 2>/dev/null
    xdotool key --clearmodifiers alt+F4
    for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app" 2>/dev/null && fail "the program did not end"
}
# The focused control, and what it holds (a check box: checked or unchecked), waited for.
wait_probe() {
    for _ in $(seq 250); do [ "$(focused)" = "$1" ] && [ "$(field_text)" = "$2" ] && return 0; sleep 0.02; done
    fail "$1 holds '$(field_text)' (focus on $(focused)), not '$2'"
}
# From the chosen game, the machine box and the FM-PAC box are two and four steps back.
boxes_hold() {
    xdotool key --clearmodifiers shift+Tab shift+Tab
    wait_probe Combo1 "$1"
    xdotool key --clearmodifiers shift+Tab shift+Tab
    wait_probe Check2 "$2"
}
launches=$(wc -l < "$folder/launches.txt")
next_launch() { launches=$((launches + 1)); }

start_again
# 星風ランナー (row 0) was last started on MSXJ with the FM-PAC; the third game now on MSX2J
# without it.
click "$main" 60 "$(row 2)"
click "$main" 232 317
xdotool key Home Return
wait_probe Combo1 MSX2J
xdotool key --clearmodifiers shift+Tab shift+Tab
wait_focus Check2
[ "$(field_text)" = checked ] && xdotool key space
wait_probe Check2 unchecked
click "$main" 59 399
next_launch
third=$(wait_launch "$launches") || fail "the third game did not start"
case "$third" in "$folder|MSX2J|-"*) ;; *) fail "the third game's launch: $third" ;; esac
close_main
start_again
# plays_as ROW MACHINE FMPAC EXPECTED: the game chosen, its boxes read back, the switch pressed.
plays_as() {
    click "$main" 60 "$(row "$1")"
    boxes_hold "$2" "$3"
    click "$main" 59 399
    next_launch
    got=$(wait_launch "$launches") || fail "row $1 did not start"
    [ "$got" = "$4" ] || fail "row $1 after a restart: $got"
}
plays_as 2 MSX2J unchecked "$third"
plays_as 0 MSXJ checked "$folder|MSXJ|-CART|FMPAC.ROM|-cart|hoshikaze.rom"
close_main

step "an English system: the window, the list's menu, a dialog and a message box speak English"
(cd "$work" && exec env -u TARUMIN_LANG LANG=en_US.UTF-8 LANGUAGE= LC_ALL= TARUMIN_TEXT_PROBE="$work/typed" \
    "$folder/Tarumin") > "$work/app.log" 2>&1 &
app=$!
pids+=($app)
main=$(wait_window '^Tarumin') || fail "the main window did not come back in English"
[ "$(xdotool getwindowname "$main")" = "Tarumin (Ver 0.9)" ] || fail "the English title: $(xdotool getwindowname "$main")"
click "$main" 60 "$(row 0)"
xdotool key --clearmodifiers shift+F10
for _ in $(seq 750); do case "$(field_text)" in Favourite\|Resume*) break ;; esac; sleep 0.02; done
case "$(field_text)" in
"Favourite|Resume|Remove saved state|Forget the machine settings|Order|Filter|言語 / Language|Edit|Delete") ;;
*) fail "the list's menu in English: $(field_text)" ;;
esac
xdotool key --clearmodifiers Escape
click "$main" 40 16
dialog=$(wait_window '^Add to the list$') || fail "no English entry dialog"
click "$dialog" 108 252 # Save, with no title typed
box=$(wait_window '^tarumin$') || fail "no message box in English"
for _ in $(seq 750); do [ "$(field_text)" = "Type the game's title." ] && break; sleep 0.02; done
[ "$(field_text)" = "Type the game's title." ] || fail "the English message box: $(field_text)"
xdotool windowactivate --sync "$box" 2>/dev/null
xdotool key --clearmodifiers Return
wait_no_window '^tarumin$' || fail "the English message box stayed"
click "$dialog" 185 252
wait_no_window '^Add to the list$' || fail "the English entry dialog stayed"
close_main
said=$(env -u TARUMIN_LANG LANG=en_US.UTF-8 LANGUAGE= LC_ALL= "$(dirname "$program")/tarumin-import" 2>&1)
case "$said" in *"Name the files or folders to add"*) ;; *) fail "tarumin-import in English: $said" ;; esac
said=$(env -u TARUMIN_LANG LANG=ja_JP.UTF-8 LANGUAGE= LC_ALL= "$(dirname "$program")/tarumin-import" 2>&1)
case "$said" in *"登録するファイルかフォルダーを指定してください"*) ;; *) fail "tarumin-import in Japanese: $said" ;; esac

echo "1 passed, 0 failed"
