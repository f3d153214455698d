#!/bin/sh
# One Wispen per user. A second launch hands its file (given relative to its own folder) to the
# running one and exits 0; the running one holds it in the selected tab, which shows when a
# letter typed into the window reaches the file at quit. A launch without files only
# brings the window up. After a crash, the socket left behind does not stop the next launch.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"
start_x_session

channel="$XDG_RUNTIME_DIR/wispen-$(id -un)"
lock="${XDG_STATE_HOME:-$HOME/.local/state}/Wispen/instance.lock"

# Waits up to 20 s until process $1 holds the channel's lock and its socket is there.
wait_for_owner() {
    tries=0
    until [ -S "$channel" ] && [ "$(head -n 1 "$lock" 2>/dev/null)" = "$1" ]; do
        tries=$((tries + 1))
        [ $tries -lt 200 ] || fail "process $1 never took the channel"
        sleep 0.1
    done
}

# Types a letter at the end of the selected tab of the running app.
type_into_window() {
    window=$(wait_for_window 'Wispen.')
    focus_window "$window"
    xdotool key ctrl+End
    xdotool type --delay 30 X
}

# Runs a later launch from folder $1 with the remaining arguments; it must end with status 0
# within 20 s.
launch_again() {
    folder="$1"
    shift
    (cd "$folder" && "$app" "$@") &
    wait_for_exit $!
}

cd "$HOME"
mkdir -p elsewhere
printf 'handed over\n' >elsewhere/c.txt

"$app" &
first=$!
wait_for_owner "$first"
launch_again "$HOME" || fail "a launch without files did not end cleanly"
launch_again "$HOME/elsewhere" c.txt
kill -0 "$first" 2>/dev/null || fail "the running app ended"
type_into_window
kill -TERM "$first"
wait_for_exit "$first"
[ "$(cat elsewhere/c.txt)" = "$(printf 'handed over\nX')" ] ||
    fail "the running app did not hold c.txt: it holds '$(cat elsewhere/c.txt)'"

"$app" &
crashed=$!
wait_for_owner "$crashed"
kill -KILL "$crashed"
wait "$crashed" || true
[ -S "$channel" ] || fail "the crash left no socket to test with"
"$app" &
next=$!
wait_for_owner "$next"
printf 'handed over\n' >elsewhere/c.txt
launch_again "$HOME/elsewhere" c.txt
kill -0 "$next" 2>/dev/null || fail "the launch after the crash did not keep running"
type_into_window
kill -TERM "$next"
wait_for_exit "$next"
[ "$(cat elsewhere/c.txt)" = "$(printf 'handed over\nX')" ] ||
    fail "after a crash the file was not handed over"
echo "PASS: later launches handed over and ended, also after a crash"
