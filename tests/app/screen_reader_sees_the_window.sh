#!/bin/sh
# A screen reader's view of the real app over AT-SPI, at actual size and zoomed to 2.0: the
# note is an editable text it can read, the tabs are a page tab list with titles and one
# selected, and every control that shows has a name.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"
walker="$(dirname "$0")/screen_reader_walk.py"
command -v dbus-run-session >/dev/null || fail "dbus is missing (run scripts/install-deps.sh)"
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi2-core is missing"
/usr/bin/python3 -c 'import pyatspi' || fail "python3-pyatspi is missing"

start_x_session
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
config="${XDG_CONFIG_HOME:-$HOME/.config}/Wispen"
mkdir -p "$config"

for scale in 1 2; do
    printf '[General]\nuiScale=%s\n' "$scale" >"$config/Wispen.conf"
    dbus-run-session -- sh -eu -c '
        /usr/libexec/at-spi-bus-launcher --launch-immediately &
        bus=$!
        . "$1"
        launch_app "$2"
        focus_window "$window"
        xdotool type --delay 20 "Read me"
        xdotool key ctrl+t
        xdotool type --delay 20 "second"
        xdotool key ctrl+Page_Up
        sleep 0.5
        /usr/bin/python3 "$3" "Read me" Untitled Untitled || { kill $app_pid; exit 1; }
        quit_app
        kill $bus 2>/dev/null || true
    ' sh "$(dirname "$0")/xsession.sh" "$app" "$walker" 2>/dev/null ||
        fail "the walk at scale $scale failed"
done
echo "PASS: a screen reader can read the note and name every control, at 1.0 and 2.0"
