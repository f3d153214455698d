#!/bin/sh
# Three tabs with text, then SIGTERM: every tab is written, none lost. The tabs come from the
# command line: two text files and one file that is not UTF-8, whose tab starts empty and takes
# the typing. Each text file gets a letter in its tab; then another program changes the second
# file, which keeps that program's text while the tab's note goes beside it on the desktop.
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
focus_window "$window"
xdotool type --delay 30 typed
for tab in 1 2; do
    xdotool key ctrl+Tab ctrl+End
    xdotool type --delay 30 "+$tab"
done
printf 'theirs\n' >two.txt
kill -TERM "$app_pid"
wait_for_exit "$app_pid"

[ "$(cat one.txt)" = "$(printf 'one\n+1')" ] || fail "one.txt holds '$(cat one.txt)'"
[ "$(cat two.txt)" = theirs ] || fail "the other program's two.txt was overwritten"
beside="$HOME/Desktop/two.txt (recovered).txt"
[ "$(cat "$beside")" = "$(printf 'two\n+2')" ] || fail "no copy beside two.txt"
cmp latin1.txt latin1.orig || fail "the file that is not UTF-8 was overwritten"
notes=$(find "$HOME/Desktop" -name '????-??-??_??-??.txt' 2>/dev/null)
[ "$(echo "$notes" | wc -l)" -eq 1 ] && [ -n "$notes" ] || fail "expected one note: '$notes'"
printf 'typed' | cmp -s - "$notes" || fail "the typed note holds '$(cat "$notes")'"
echo "PASS: SIGTERM saved all three tabs"
