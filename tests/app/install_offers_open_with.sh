#!/bin/sh
# Installs into a throwaway prefix and checks what a desktop needs to offer "Open with Wispen"
# for text files: the program, a valid desktop entry that hands over files, and the icon.
set -eu
build_dir="$1"
prefix="$HOME/prefix"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build_dir" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
[ -x "$prefix/bin/wispen" ] || fail "no program installed"
entry="$prefix/share/applications/io.github.wispen.Wispen.desktop"
[ -f "$entry" ] || fail "no desktop entry installed"
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
grep -qx 'Exec=wispen %F' "$entry" || fail "the entry does not hand over files"
grep -qx 'MimeType=text/plain;' "$entry" || fail "the entry does not offer text files"
grep -qx 'Categories=Utility;TextEditor;' "$entry" || fail "the entry is not a text editor"
icon="$prefix/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$entry").svg"
[ -f "$icon" ] || fail "the icon the entry names is not installed"
grep -q '<svg' "$icon" || fail "the icon is not an SVG"
echo "PASS: installed program, desktop entry and icon"
