#!/bin/sh
# Files from the command line open in tabs of their own, the last one selected, and quitting
# without an edit leaves them byte for byte as they were (CR LF and byte-order mark included).
# Then keys that queue up while the app is busy run in one turn of its event loop: the middle
# file is large enough to take a moment to show, and two Ctrl+Tab, a letter, another Ctrl+Tab,
# Ctrl+End and a letter are sent without pause, after another program changed the first file.
# Each letter must land in the tab that was selected when it was typed, each file must hold
# its own text, and the first file, only passed over, keeps the other program's text.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
printf 'first\r\nline two\r\n' >a.txt
yes 'a line of the large file, long enough to wrap at the window width a few times over' |
    head -c 12000000 >big.txt
printf '\357\273\277third\r\nwith a mark\r\n' >c.txt
for name in a big c; do cp $name.txt $name.orig; done

launch_app "$app" a.txt big.txt c.txt
quit_app
for name in a big c; do cmp $name.txt $name.orig || fail "$name.txt changed though not edited"; done

launch_app "$app" a.txt big.txt c.txt
printf 'changed outside\n' >a.txt
focus_window "$window"
xdotool key --delay 0 ctrl+Tab ctrl+Tab Q ctrl+Tab ctrl+End Z
sleep 1
quit_app
[ "$(cat a.txt)" = 'changed outside' ] || fail "the tab passed over wrote a.txt: '$(cat a.txt)'"
{ printf 'Q'; cat big.orig; } | cmp -s - big.txt || fail "big.txt does not hold its own text and Q"
{ cat c.orig; printf 'Z'; } | cmp -s - c.txt || fail "c.txt holds: $(od -c c.txt | head -n 3)"
[ ! -d "$HOME/Desktop" ] || [ -z "$(ls -A "$HOME/Desktop")" ] || fail "a desktop file appeared"
echo "PASS: the files opened into tabs, round-tripped exactly and kept each its own letter"
