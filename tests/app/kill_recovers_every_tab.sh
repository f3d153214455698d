#!/bin/sh
# Three tabs with notes, two seconds of quiet, then kill -9: the next start writes all three
# notes where the final save would have put them, byte for byte: the selected tab's note under
# a date name, the others under their titles (or the date when they have none), and a tab
# from a file back into that file.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
printf 'kept\r\n' >own.txt

launch_app "$app" own.txt
focus_window "$window"
xdotool key ctrl+End
xdotool type --delay 20 'typed into the file'
xdotool key ctrl+t
xdotool type --delay 20 'second note'
xdotool key Return
xdotool type --delay 20 'with two lines'
xdotool key ctrl+t
xdotool type --delay 20 'third note'
wait_for_file "$(journal_dir)/*.entry" >/dev/null
sleep 2
[ "$(ls "$(journal_dir)" | wc -l)" -eq 3 ] || fail "the journal holds $(ls "$(journal_dir)")"
kill -9 "$app_pid"
wait "$app_pid" 2>/dev/null || true
[ ! -d "$HOME/Desktop" ] || [ -z "$(ls -A "$HOME/Desktop")" ] || fail "something was saved before the kill"

launch_app "$app"
printf 'kept\r\ntyped into the file' | cmp -s - own.txt || fail "own.txt holds '$(cat own.txt)'"
notes=$(find "$HOME/Desktop" -name '????-??-??_??-??*.txt')
[ "$(echo "$notes" | wc -l)" -eq 2 ] || fail "expected two date-named notes, found: $notes"
# Two notes saved in one minute are "<date>.txt" and "<date> 2.txt".
found=$(echo "$notes" | while IFS= read -r note; do cat "$note"; echo '|'; done | sort | tr -d '\n')
expected=$(printf 'second note\nwith two lines|\nthird note|\n' | sort | tr -d '\n')
[ "$found" = "$expected" ] || fail "the notes hold: $found"
[ -z "$(ls -A "$(journal_dir)")" ] || fail "the journal was not emptied"
quit_app
echo "PASS: all three notes were recovered where the final save puts them"
