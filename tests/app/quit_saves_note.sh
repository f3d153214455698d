#!/bin/sh
# Starts the real app on a virtual X display with a window manager, types "hello", closes the
# window the way a person does, and checks that the note is on the desktop as a date-named file.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
launch_app "$app"
focus_window "$window"
xdotool type --delay 30 hello
quit_app

notes=$(find "$HOME/Desktop" -name '????-??-??_??-??.txt')
[ "$(echo "$notes" | wc -l)" -eq 1 ] || fail "expected one date-named note, found: $notes"
[ "$(cat "$notes")" = hello ] || fail "note holds '$(cat "$notes")'"
printf 'hello' | cmp -s - "$notes" || fail "note is not exactly 'hello'"
echo "PASS: the note was saved as $(basename "$notes")"
