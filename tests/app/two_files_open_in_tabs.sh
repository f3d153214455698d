#!/bin/sh
# Starts the real app with two files: quitting without an edit leaves both byte for byte as
# they were (CR LF and byte-order mark included). Then shows that both sit in tabs of their
# own with the second selected: the first file is changed by another program and a letter is
# typed; at quit the first file keeps the other program's text, since its tab was not edited,
# and only the second file has the letter.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

start_x_session
cd "$HOME"
printf 'first\r\nline two\r\n' >a.txt
printf '\357\273\277second\r\nwith a mark\r\n' >b.txt
cp a.txt a.orig
cp b.txt b.orig

launch_app "$app" a.txt b.txt
quit_app
cmp a.txt a.orig || fail "a.txt changed though nothing was edited"
cmp b.txt b.orig || fail "b.txt changed though nothing was edited"

launch_app "$app" a.txt b.txt
printf 'changed outside\n' >a.txt
focus_window "$window"
xdotool key ctrl+End
xdotool type --delay 30 X
quit_app
[ "$(cat a.txt)" = 'changed outside' ] || fail "the unedited tab wrote a.txt: '$(cat a.txt)'"
printf '\357\273\277second\r\nwith a mark\r\nX' | cmp -s - b.txt ||
    fail "the letter did not reach b.txt in the selected tab: $(od -c b.txt)"
[ ! -d "$HOME/Desktop" ] || [ -z "$(ls -A "$HOME/Desktop")" ] || fail "a desktop file appeared"
echo "PASS: two files opened into two tabs, the second selected, and round-tripped exactly"
