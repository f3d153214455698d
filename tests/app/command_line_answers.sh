#!/bin/sh
# wispen --help, --version and an unknown option are answered on the terminal with no display
# at all: the answer comes before any window is made, so a person at a bare console or a
# script gets it too.
set -eu
app="$1"
version="$2"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
out="$HOME/out"
err="$HOME/err"

# Runs the app with the given arguments; sets $status, with the output in $out and $err.
answer() {
    status=0
    "$app" "$@" >"$out" 2>"$err" || status=$?
}

for help in --help -h; do
    answer "$help"
    [ "$status" -eq 0 ] || fail "$help ended with status $status: $(cat "$err")"
    grep -q '^Usage: .*wispen \[options\] \[files\.\.\.\]$' "$out" || fail "$help shows no usage"
    grep -q -- '--version' "$out" || fail "$help does not list --version"
    grep -q '^  files ' "$out" || fail "$help does not describe the files"
    ! grep -q -- '-platform' "$out" || fail "$help lists Qt's own options"
done

answer --help-all
[ "$status" -eq 0 ] || fail "--help-all ended with status $status"
grep -q -- '--platform <' "$out" || fail "--help-all does not list Qt's own options"

for asked in --version -v; do
    answer "$asked"
    [ "$status" -eq 0 ] || fail "$asked ended with status $status: $(cat "$err")"
    [ "$(cat "$out")" = "Wispen $version" ] || fail "$asked printed '$(cat "$out")'"
done

answer --no-such-option note.txt
[ "$status" -eq 1 ] || fail "an unknown option ended with status $status, not 1"
[ ! -s "$out" ] || fail "an unknown option printed on standard output"
grep -q "Unknown option 'no-such-option'" "$err" || fail "the error does not name the option"

# Qt's own options are let through, so only the unknown one is refused.
answer -style Fusion -x
[ "$status" -eq 1 ] || fail "-x after a Qt option ended with status $status, not 1"
grep -q "Unknown option 'x'" "$err" || fail "the error does not name -x"
echo "PASS: help, version and unknown options answered without a display"
