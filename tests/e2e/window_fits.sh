#!/usr/bin/env bash
# In a window (VRK_WINDOWED=1) on a 1280 x 800 desktop the disk opens at 640 x 400, its frame
# and all on the screen, so the key help and the exit label show; Alt+Enter to full screen and
# back gives it the same size again. Run by with-display.sh from the build folder.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
. "$here/own_disk.sh"
play_from_scratch "$1"

export SDL_AUDIODRIVER=dummy VRK_WINDOWED=1
xdotool mousemove 1279 799
start_disk "$build/vrkdisk_small"

geometry() { xwininfo -id "$(player_window)" 2>/dev/null; }
field() { geometry | sed -n "s/^ *$1: *//p"; }
sized() { [ "$(field Width)" = "$1" ] && [ "$(field Height)" = "$2" ]; }
# The window's own picture is lit once the menu has faded in (after any intro).
lit() {
    [ "$(import -window "$(player_window)" -colorspace gray -format '%[fx:int(mean*100)]' \
        info:- 2>/dev/null)" -gt 5 ] 2>/dev/null
}
shown() { [ -n "$(player_window)" ] && sized 640 400 && lit; }
skip_intro
wait_for 90 shown
frame=$(xprop -id "$(player_window)" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$')
bottom=$(( $(field "Absolute upper-left Y") + 400 + ${frame##*,} ))
top=$(( $(field "Absolute upper-left Y") - $(echo "$frame" | cut -d, -f3) ))
[ "$top" -ge 0 ] && [ "$bottom" -le 800 ] || fail "the window reaches from $top to $bottom"
echo "the window opens at 640 x 400, frame and all inside the desktop"

focus_player
xdotool key alt+Return
wait_for 20 sized 1280 800
xdotool key alt+Return
wait_for 20 sized 640 400
echo "back from full screen at the size it had"

kill "$pid" 2>/dev/null
