#!/bin/sh
# After kill -9, a journal entry cut in half does not stop the next start: the intact entry is
# recovered to the desktop and the damaged one is moved aside, not deleted.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
launch_app "$app"
focus_window "$window"
xdotool type --delay 30 'kept note'
entry=$(wait_for_file "$(journal_dir)/*.entry")
sleep 2
kill -9 "$app_pid"
wait "$app_pid" 2>/dev/null || true
size=$(wc -c <"$entry")
head -c $((size / 2)) "$entry" >"$(journal_dir)/00000000-cut.entry"
cp "$(journal_dir)/00000000-cut.entry" "$HOME/cut.orig"

launch_app "$app"
notes=$(find "$HOME/Desktop" -name '????-??-??_??-??.txt')
[ "$(echo "$notes" | wc -l)" -eq 1 ] || fail "expected one recovered note, found: $notes"
printf 'kept note' | cmp -s - "$notes" || fail "recovered note holds '$(cat "$notes")'"
cmp "$HOME/cut.orig" "$(journal_dir)-damaged/00000000-cut.entry" ||
    fail "the damaged entry was not kept aside"
[ -z "$(ls -A "$(journal_dir)")" ] || fail "the journal was not emptied"
quit_app
echo "PASS: the intact note was recovered and the damaged entry kept aside"
