#!/bin/sh
# A launch never goes on beside a Wispen that holds the lock but does not answer (here one
# stopped with SIGSTOP): it opens and writes nothing and asks whether to wait for it or quit.
# Quit ends it; a launch left asking hands its file over by itself once the running one goes
# on, and that one holds the file in its selected tab as if nothing had happened.
set -eu
app="$1"
. "$(dirname "$0")/xsession.sh"

# Waits up to 20 s for the process $1 to end and fails unless it exited with status $2.
wait_for_status() {
    tries=0
    while kill -0 "$1" 2>/dev/null; do
        tries=$((tries + 1))
        [ $tries -lt 200 ] || fail "process $1 did not end"
        sleep 0.1
    done
    status=0
    wait "$1" || status=$?
    [ "$status" -eq "$2" ] || fail "process $1 ended with status $status, not $2"
}

# The launch beside the stopped one asks, and has written nothing and shown no window.
expect_question() {
    question=$(wait_for_window 'Wispen')
    written=$(find "$HOME" -newer "$HOME/stopped")
    [ -z "$written" ] || fail "a launch beside the stopped Wispen wrote: $written"
    [ "$(xdotool search --onlyvisible --name '^Wispen.$' | wc -l)" -eq 1 ] ||
        fail "a second main window appeared"
}

start_x_session
cd "$HOME"
printf 'kept\n' >c.txt
cp c.txt c.orig

launch_app "$app"
first=$app_pid
# A stopped process outlives the X server: it ends with the test.
trap 'kill -KILL $first 2>/dev/null || true; kill $wm_pid $xvfb_pid 2>/dev/null || true' EXIT
kill -STOP "$first"
touch "$HOME/stopped"

"$app" c.txt &
quitter=$!
expect_question
wmctrl -i -c "$question"
wait_for_status "$quitter" 1

"$app" c.txt &
waiter=$!
expect_question
kill -CONT "$first"
wait_for_status "$waiter" 0
cmp c.txt c.orig || fail "c.txt was written while the first Wispen was stopped"

focus_window "$window"
xdotool key ctrl+End
xdotool type --delay 30 X
quit_app
{ cat c.orig; printf 'X'; } | cmp -s - c.txt ||
    fail "the running Wispen did not hold c.txt: it holds '$(cat c.txt)'"
echo "PASS: no launch went on beside a stopped Wispen, and the waiting one handed its file over"
