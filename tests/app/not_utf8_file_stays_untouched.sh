#!/bin/sh
# A file that is not UTF-8 opens as an empty note that is not bound to the file: what is typed
# into it goes to the desktop at quit, and the file keeps its bytes.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
printf 'na\357ve caf\351\r\n' >latin1.txt
cp latin1.txt latin1.orig

launch_app "$app" latin1.txt
focus_window "$window"
xdotool type --delay 30 hello
quit_app

cmp latin1.txt latin1.orig || fail "the file that is not UTF-8 was changed"
notes=$(find "$HOME/Desktop" -name '????-??-??_??-??.txt' 2>/dev/null)
[ "$(echo "$notes" | wc -l)" -eq 1 ] && [ -n "$notes" ] || fail "expected one note: '$notes'"
printf 'hello' | cmp -s - "$notes" || fail "the note holds '$(cat "$notes")'"
echo "PASS: the file stayed as it was and the typing went to $(basename "$notes")"
