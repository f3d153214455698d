#!/bin/sh
# Three tabs with text, then SIGTERM: every tab is written, none lost. The tabs come from the
# command line: two text files and one file that is not UTF-8, whose tab starts empty and takes
# the typing. The two text files are changed behind the app's back, so only a save of their
# tabs can bring their text back.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
printf 'one\n' >one.txt
printf 'two\n' >two.txt
printf 'caf\351\n' >latin1.txt
cp latin1.txt latin1.orig

launch_app "$app" one.txt two.txt latin1.txt
printf 'stale\n' >one.txt
printf 'stale\n' >two.txt
focus_window "$window"
xdotool type --delay 30 typed
kill -TERM "$app_pid"
wait_for_exit "$app_pid"

[ "$(cat one.txt)" = one ] || fail "the first tab was not saved: one.txt holds '$(cat one.txt)'"
[ "$(cat two.txt)" = two ] || fail "the second tab was not saved: two.txt holds '$(cat two.txt)'"
cmp latin1.txt latin1.orig || fail "the file that is not UTF-8 was overwritten"
notes=$(find "$HOME/Desktop" -name '????-??-??_??-??.txt' 2>/dev/null)
[ "$(echo "$notes" | wc -l)" -eq 1 ] && [ -n "$notes" ] || fail "expected one note: '$notes'"
printf 'typed' | cmp -s - "$notes" || fail "the typed note holds '$(cat "$notes")'"
echo "PASS: SIGTERM saved all three tabs"
