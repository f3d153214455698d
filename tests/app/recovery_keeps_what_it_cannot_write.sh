#!/bin/sh
# A note left in the journal by a kill, and a start where it can be written nowhere (a regular
# file stands where the desktop and Wispen's data folder belong, which stops root too): the
# app still starts, the entry stays, and the next start with room writes the note once. The
# journal and its entries are private to their owner.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
data="${XDG_DATA_HOME:-$HOME/.local/share}"

launch_app "$app"
focus_window "$window"
xdotool type --delay 20 'a note that must survive'
entry=$(wait_for_file "$(journal_dir)/*.entry")
sleep 1
[ "$(stat -c %a "$(journal_dir)")" = 700 ] || fail "the journal folder is not private"
[ "$(stat -c %a "$entry")" = 600 ] || fail "the journal entry is not private"
kill -9 "$app_pid"
wait "$app_pid" 2>/dev/null || true

rm -rf "$HOME/Desktop" "$data/Wispen"
mkdir -p "$data"
printf 'not a folder' >"$HOME/Desktop"
printf 'not a folder' >"$data/Wispen"
launch_app "$app"
[ -f "$entry" ] || fail "the entry was removed though its note was written nowhere"
quit_app
[ -f "$entry" ] || fail "quitting removed the entry"

rm "$HOME/Desktop" "$data/Wispen"
launch_app "$app"
[ ! -e "$entry" ] || fail "the entry stayed after its note was written"
quit_app
notes=$(find "$HOME/Desktop" -name '*.txt')
[ "$(echo "$notes" | wc -l)" -eq 1 ] || fail "expected one note, found: $notes"
[ "$(cat "$notes")" = 'a note that must survive' ] || fail "the note holds '$(cat "$notes")'"
echo "PASS: recovery kept the note until it could be written, then wrote it once"
