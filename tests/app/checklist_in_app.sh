#!/bin/sh
# Starts the real app on a virtual X display, makes a checklist the way a person does (types
# "☐ milk", Return for the next item, Return on the empty item to end the list), ticks the
# first item with a click on its glyph, closes the window, and checks the note on the desktop.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
launch_app "$app"
focus_window "$window"
xdotool type --delay 30 '☐ milk'
xdotool key Return
xdotool type --delay 30 eggs
xdotool key Return Return
xdotool type --delay 30 done
sleep 0.3

# The text starts 48 px in and 40 px down in the editor, which sits at the window's left edge
# below the menu bar and the tab bar (58 px together); the first glyph is the first character
# there.
xdotool mousemove --window "$window" 52 108 click 1
sleep 0.3
quit_app

notes=$(find "$HOME/Desktop" -name '????-??-??_??-??.txt')
[ "$(echo "$notes" | wc -l)" -eq 1 ] || fail "expected one date-named note, found: $notes"
printf '☑ milk\n☐ eggs\ndone' | cmp -s - "$notes" || fail "note holds '$(cat "$notes")'"
echo "PASS: the checklist was saved as $(basename "$notes")"
