# Helpers for tests that drive the real app on a virtual X display, sourced by those tests.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs the command given after $1 every 0.1 s until it succeeds, at most $1 times; false when
# it never does.
retry() {
    tries=$1
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ $tries -gt 0 ] || return 1
        sleep 0.1
    done
}

# Starts Xvfb on a free display and a window manager on it; both stop when the test exits.
start_x_session() {
    for tool in Xvfb openbox xdotool wmctrl xmodmap; do
        command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
    done
    display_file="$HOME/display"
    Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
    xvfb_pid=$!
    wm_pid=
    trap 'kill $wm_pid $xvfb_pid 2>/dev/null || true' EXIT
    retry 100 test -s "$display_file" || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$display_file")"
    export QT_QPA_PLATFORM=xcb
    openbox --sm-disable >/dev/null 2>&1 &
    wm_pid=$!
    sleep 0.5
    # The check box glyphs get keys of their own: xdotool would otherwise map them to a spare
    # key for a moment only, and an app that reads the keymap late types nothing.
    xmodmap -e 'keycode 248 = U2610' -e 'keycode 250 = U2611'
}

# Prints the id of the first visible window whose title is exactly $1, waiting up to 20 s.
wait_for_window() {
    retry 200 visible_window "$1" || fail "no window titled '$1' appeared"
    echo "$id"
}
visible_window() {
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ]
}

focus_window() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    sleep 0.3
}

# Waits up to 20 s for the process $1 to end and fails unless it exited with status 0.
wait_for_exit() {
    retry 200 has_ended "$1" || { kill "$1"; fail "the app did not quit"; }
    wait "$1" || fail "the app exited with status $?"
}
has_ended() { ! kill -0 "$1" 2>/dev/null; }

# Waits up to 10 s until a file matching the glob $1 exists, and prints the first one.
wait_for_file() {
    retry 100 file_matches "$1" || fail "nothing matching $1 appeared"
    echo "$found"
}
file_matches() {
    for found in $1; do
        [ -e "$found" ] && return 0
    done
    return 1
}

# The recovery journal of the throwaway HOME.
journal_dir() {
    echo "${XDG_STATE_HOME:-$HOME/.local/state}/Wispen/journal"
}

# Starts the app with the given command line and waits for its window; sets app_pid and window.
launch_app() {
    "$@" &
    app_pid=$!
    window=$(wait_for_window 'Wispen.')
}

# Closes the window as a person does and waits for the app to end with status 0.
quit_app() {
    wmctrl -i -c "$window"
    wait_for_exit "$app_pid"
}
