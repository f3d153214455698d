#!/bin/sh
# A note typed into a file's tab survives kill -9; since another program changed the file
# after the snapshot, the next start leaves the file alone and puts the note on the desktop.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
printf 'original\n' >a.txt

launch_app "$app" a.txt
focus_window "$window"
xdotool key ctrl+End
xdotool type --delay 30 typed
wait_for_file "$(journal_dir)/*.entry" >/dev/null
sleep 2
printf 'another program\n' >a.txt
kill -9 "$app_pid"
wait "$app_pid" 2>/dev/null || true

launch_app "$app"
printf 'another program\n' | cmp -s - a.txt || fail "a.txt was written over: $(cat a.txt)"
recovered="$HOME/Desktop/a.txt (recovered).txt"
printf 'original\ntyped' | cmp -s - "$recovered" || fail "recovered note: $(cat "$recovered")"
[ -z "$(ls -A "$(journal_dir)")" ] || fail "the journal was not emptied"
quit_app
echo "PASS: the file kept the other program's text and the note is on the desktop"
