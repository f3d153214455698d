#!/bin/sh
# Runs one test with HOME and every XDG folder pointed into a fresh temporary folder,
# removed afterwards.
set -u
home=$(mktemp -d "${TMPDIR:-/tmp}/wispen-test-home.XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT INT TERM
mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
export HOME="$home"
export XDG_CONFIG_HOME="$home/.config"
export XDG_DATA_HOME="$home/.local/share"
export XDG_STATE_HOME="$home/.local/state"
export XDG_CACHE_HOME="$home/.cache"
export XDG_RUNTIME_DIR="$home/runtime"
unset XDG_CONFIG_DIRS XDG_DATA_DIRS XDG_DESKTOP_DIR DBUS_SESSION_BUS_ADDRESS
"$@"
