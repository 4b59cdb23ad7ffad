# Shared by the end-to-end tests: a temporary folder, a display of our own with a window
# manager, waiting for windows, clicking, and cleaning up every process started, by PID.
# The caller sets "folder" below $work after sourcing this.

work=$(mktemp -d)
folder="$work/my games"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    sleep 0.2
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; [ -f "$work/app.log" ] && sed 's/^/  app: /' "$work/app.log"; exit 1; }
step() { echo "-- $*"; }

# Waits (10 s, or the tenths of a second given) for a visible window whose title matches, and
# prints its id. BY=--class matches the window's class instead.
wait_window() {
    for _ in $(seq "${2:-100}"); do
        id=$(xdotool search --onlyvisible ${BY:---name} "$1" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
wait_no_window() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
click() { sleep 0.2; xdotool mousemove --sync --window "$1" "$2" "$3" click 1; sleep 0.2; }

start_display() {
    # The server picks a free display itself and reports its number once it is ready, so that
    # tests running side by side, or beside any other X server, never share one.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$work/display")"
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not answer on $DISPLAY"
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 0.3
}
