#!/bin/sh
# Keys that queue up while the app is busy run in one turn of its event loop. Three files open
# in tabs, the middle one large enough to take a moment to show; two Ctrl+Tab, a letter,
# another Ctrl+Tab and a letter are sent without pause. Each letter must land in the tab that
# was selected when it was typed, and each file must hold its own text.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
printf 'first file\n' >a.txt
yes 'a line of the large file, long enough to wrap at the window width a few times over' |
    head -c 12000000 >big.txt
printf 'third file\n' >c.txt
cp a.txt a.orig
cp big.txt big.orig
cp c.txt c.orig

launch_app "$app" a.txt big.txt c.txt
focus_window "$window"
# From c.txt: to a.txt, to big.txt, type Q there, back to c.txt, type Z there.
xdotool key --delay 0 ctrl+Tab ctrl+Tab Q ctrl+Tab Z
sleep 1
quit_app

cmp a.txt a.orig || fail "a.txt was written though it was only passed over"
{ printf 'Q'; cat big.orig; } | cmp -s - big.txt || fail "big.txt does not hold its own text and Q"
{ printf 'Z'; cat c.orig; } | cmp -s - c.txt || fail "c.txt holds '$(head -c 80 c.txt)'"
[ ! -d "$HOME/Desktop" ] || [ -z "$(ls -A "$HOME/Desktop")" ] || fail "a desktop file appeared"
echo "PASS: commands sent in one burst kept every note in its own tab"
