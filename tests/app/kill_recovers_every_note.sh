#!/bin/sh
# Four tabs with notes, two seconds of quiet, then kill -9 while another program changes one
# tab's file; a journal entry cut in half is added. A start where the notes fit nowhere (a
# regular file stands where the desktop and Wispen's data folder belong, which stops root
# too) still starts and keeps their entries, also when it quits. The next start with room
# writes each note once where the final save would have put it, byte for byte: the unchanged
# file's tab back into it, the changed file's note beside it on the desktop, the other two
# under date names. The damaged entry is moved aside, not deleted. The journal is private, and
# the copy beside the changed file is as private as that file.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
journal=$(journal_dir)
printf 'kept\r\n' >own.txt
printf 'original\n' >changed.txt
chmod 640 changed.txt

launch_app "$app" own.txt changed.txt
focus_window "$window"
xdotool key ctrl+End
xdotool type --delay 20 typed
xdotool key ctrl+Tab ctrl+End
xdotool type --delay 20 'typed into the file'
xdotool key ctrl+t
xdotool type --delay 20 'second note'
xdotool key Return
xdotool type --delay 20 'with two lines'
xdotool key ctrl+t
xdotool type --delay 20 'third note'
wait_for_file "$journal/*.entry" >/dev/null
sleep 2
[ "$(ls "$journal"/*.entry | wc -l)" -eq 4 ] || fail "the journal holds $(ls "$journal")"
[ "$(stat -c %a "$journal")" = 700 ] || fail "the journal folder is not private"
for entry in "$journal"/*.entry; do
    [ "$(stat -c %a "$entry")" = 600 ] || fail "a journal entry is not private"
done
printf 'another program\n' >changed.txt
kill -9 "$app_pid"
wait "$app_pid" 2>/dev/null || true
[ ! -e "$HOME/Desktop" ] || [ -z "$(ls -A "$HOME/Desktop")" ] || fail "a note was saved early"
entry=$(ls "$journal"/*.entry | head -n 1)
head -c $(($(wc -c <"$entry") / 2)) "$entry" >"$journal/00000000-cut.entry"
cp "$journal/00000000-cut.entry" cut.orig

rm -rf "$HOME/Desktop" "$data/Wispen"
mkdir -p "$data"
printf 'not a folder' >"$HOME/Desktop"
printf 'not a folder' >"$data/Wispen"
launch_app "$app"
[ "$(ls "$journal"/*.entry | wc -l)" -eq 3 ] || fail "recovery with no room left $(ls "$journal")"
quit_app
[ "$(ls "$journal"/*.entry | wc -l)" -eq 3 ] || fail "quitting left $(ls "$journal")"
printf 'kept\r\ntyped into the file' | cmp -s - own.txt || fail "own.txt holds '$(cat own.txt)'"

rm "$HOME/Desktop" "$data/Wispen"
launch_app "$app"
[ -z "$(ls -A "$journal")" ] || fail "the journal was not emptied"
quit_app
printf 'another program\n' | cmp -s - changed.txt || fail "changed.txt was written over"
recovered="$HOME/Desktop/changed.txt (recovered).txt"
printf 'original\ntyped' | cmp -s - "$recovered" || fail "recovered note: $(cat "$recovered")"
[ "$(stat -c %a "$recovered")" = 640 ] || fail "the copy is not as private as its file"
notes=$(find "$HOME/Desktop" -name '????-??-??_??-??*.txt')
[ "$(echo "$notes" | wc -l)" -eq 2 ] || fail "expected two date-named notes, found: $notes"
# Two notes saved in one minute are "<date>.txt" and "<date> 2.txt".
found=$(echo "$notes" | while IFS= read -r note; do cat "$note"; echo '|'; done | sort | tr -d '\n')
expected=$(printf 'second note\nwith two lines|\nthird note|\n' | sort | tr -d '\n')
[ "$found" = "$expected" ] || fail "the notes hold: $found"
[ "$(ls "$HOME/Desktop" | wc -l)" -eq 3 ] || fail "the desktop holds $(ls "$HOME/Desktop")"
cmp cut.orig "$journal-damaged/00000000-cut.entry" || fail "the damaged entry was not kept aside"
echo "PASS: every note was recovered once, when there was room, and the damaged entry kept"
