#!/bin/sh
# Makes docs/screenshot-dark.png and docs/screenshot-light.png: the real app on a virtual X
# display, driven with the keyboard and the mouse, at zoom 1.0 (left) and 1.5 (right).
# Run from the repository after a build:
#     tests/run-isolated.sh docs/screenshots.sh build/wispen docs
set -eu
app="$1"
out="$2"
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tests/app/xsession.sh"
start_x_session

# Width of a tab title as drawn: DejaVu Sans at 12 px, bold for the selected tab.
title_width() {
    w=$(convert -font "$2" -pointsize 12 label:"$1" -format '%w' info:)
    w=$((w + 1))
    [ "$w" -lt 48 ] && w=48
    [ "$w" -gt 160 ] && w=160
    echo "$w"
}

# Centre of a tab title in layout units, given the widths of the titles before it.
title_x() {
    x=10
    for before in "$@"; do
        x=$((x + 8 + before + 2 + 16 + 8 + 4))
    done
    echo "$x"
}

shot() {
    dark="$1" scale="$2" file="$3"
    rm -rf "$XDG_CONFIG_HOME/Wispen" "$HOME/Desktop"
    mkdir -p "$XDG_CONFIG_HOME/Wispen"
    printf '[General]\nisDarkMode=%s\nuiScale=%s\n' "$dark" "$scale" \
        >"$XDG_CONFIG_HOME/Wispen/Wispen.conf"
    "$app" >/dev/null 2>&1 &
    pid=$!
    window=$(wait_for_window 'Wispen.')
    xdotool windowmove --sync "$window" 20 20
    xdotool windowsize --sync "$window" 860 600
    focus_window "$window"
    menu_bar=22
    row=$(echo "$menu_bar + 18 * $scale" | bc | cut -d. -f1)
    at() { echo "$1 * $scale" | bc | cut -d. -f1; }

    # First tab: a list, renamed "Groceries".
    xdotool type --delay 15 "Milk, eggs, bread"
    xdotool mousemove --window "$window" "$(at $(($(title_x) + 24)))" "$row" click --repeat 2 1
    sleep 0.4
    xdotool type --delay 15 "Groceries"
    xdotool key Return
    # Second and third tabs; back to the second, renamed and holding formatted text.
    xdotool key ctrl+t ctrl+t ctrl+Prior
    sleep 0.3
    groceries=$(title_width Groceries DejaVu-Sans)
    xdotool mousemove --window "$window" "$(at $(($(title_x "$groceries") + 24)))" "$row" \
        click --repeat 2 1
    sleep 0.4
    xdotool type --delay 15 "Weekend plan"
    xdotool key Return
    sleep 0.3
    xdotool key ctrl+b
    xdotool type --delay 15 "Saturday"
    xdotool key ctrl+b Return
    xdotool type --delay 15 "Farmers market at "
    xdotool key ctrl+i
    xdotool type --delay 15 "nine"
    xdotool key ctrl+i Return ctrl+u
    xdotool type --delay 15 "Bring"
    xdotool key ctrl+u
    xdotool type --delay 15 " the big basket."
    xdotool key Return Return
    xdotool type --delay 15 "Sunday: a long walk by the river, then lunch."
    # The find bar, looking for "the" in the note.
    xdotool key ctrl+f
    sleep 0.3
    xdotool type --delay 15 "the"
    sleep 0.5
    xdotool key Return
    xdotool mousemove --window "$window" 300 "$(at 300)"
    # Right after a keystroke, while the caret is drawn.
    sleep 0.15
    import -window root -crop 864x630+18+0 +repage "$file"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

for appearance in dark light; do
    [ "$appearance" = dark ] && flag=true || flag=false
    shot "$flag" 1.0 "$HOME/$appearance-1.png"
    shot "$flag" 1.5 "$HOME/$appearance-2.png"
    convert "$HOME/$appearance-1.png" "$HOME/$appearance-2.png" -background '#808080' \
        -splice 0x0 +append "$out/screenshot-$appearance.png"
done
