#!/usr/bin/env bash
# The disk on Wayland itself (SDL's wayland driver, no X server anywhere): on a 1920 x 1080
# output, the intro full screen, on top, with the keyboard, its picture scaled with the aspect
# kept (black bands left and right); a key cuts it short and the player's window takes the
# keyboard; the menu plays, keys move the list and light the meter, the mouse scrolls the list
# and a click plays a tune; Alt+Enter puts the disk in a floating window of twice the picture's
# size and back to full screen, the picture following; Escape, Escape, exit 0. Keys come from wtype's virtual keyboards, the mouse from a virtual
# pointer (vrk_wl_pointer), pictures from grim, windows from sway's own account of them. Run by
# with-wayland.sh.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
play_from_scratch "$1"
[ -n "${VRK_E2E_WAYLAND:-}" ] || fail "not under with-wayland.sh"
[ -x "$build/vrk_wl_pointer" ] || fail "no vrk_wl_pointer in $build (needs libwayland-dev)"

# window TITLE: sway's record of the client window of that title, as
# "x y w h fullscreen focused shell" with x y w h the window's own area on the screen.
window() {
    swaymsg -t get_tree 2>/dev/null | python3 -c '
import json, sys
def nodes(n):
    yield n
    for child in n.get("nodes", []) + n.get("floating_nodes", []):
        yield from nodes(child)
for n in nodes(json.load(sys.stdin)):
    if n.get("name") == sys.argv[1] and n.get("pid"):
        r, w = n["rect"], n["window_rect"]
        print(r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"],
              n["fullscreen_mode"], int(n["focused"]), n.get("shell"))
' "$1" 2>/dev/null
}
field() { window "$1" | cut -d' ' -f"$2"; }
# Shown full screen on the output, holding the keyboard, through the xdg shell (not Xwayland).
fullscreen_focused() { [ "$(window "$1" | cut -d' ' -f3-)" = "1920 1080 1 1 xdg_shell" ]; }
gone() { [ -z "$(window "$1")" ]; }

# Where the picture lies: the largest 16:10 rectangle centred in the window (as the disk draws
# it), set by place TITLE. at PX PY PW PH prints the screen rectangle "W H X Y" of a rectangle
# of the 640 x 400 picture.
place() {
    read -r wx wy ww wh _ < <(window "$1")
    [ -n "${wh:-}" ] || fail "no window $1"
    if [ $(( ww * 400 )) -gt $(( wh * 640 )) ]; then pw=$(( wh * 640 / 400 )) ph=$wh; else
        pw=$ww ph=$(( ww * 400 / 640 )); fi
    px=$(( wx + (ww - pw) / 2 )) py=$(( wy + (wh - ph) / 2 ))
}
at() {
    local x=$(( px + $1 * pw / 640 )) y=$(( py + $2 * ph / 400 ))
    local w=$(( ($1 + $3) * pw / 640 + px - x )) h=$(( ($2 + $4) * ph / 400 + py - y ))
    echo "$(( w > 0 ? w : 1 )) $(( h > 0 ? h : 1 )) $x $y"
}
shine() { grab $(at "$@") -colorspace gray -format '%[fx:int(mean*100)]' info:-; }
lit() { [ "$(shine "$@")" -gt "$LEVEL" ]; }
unlit() { [ "$(shine "$@")" -le "$LEVEL" ]; }
sum() { grab $(at "$@") rgb:- | md5sum | cut -c1-32; }
# The colour of one screen pixel, six hex digits.
screen_pixel() { grab 1 1 "$1" "$2" txt:- | sed -n '2p' | grep -o '#[0-9A-Fa-f]\{6\}' | tr -d '#'; }
# A key as from a keyboard plugged in for it; wtype waits before typing, so that the program
# has taken the new keyboard when the key comes.
key() { wtype -s 300 "$@" || fail "wtype $*"; }

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
"$build/vrkdisk" >"$work/out.log" 2>&1 &
pid=$!

intro="VEXEL 3DEngine v2"
wait_for 30 fullscreen_focused "$intro"
place "$intro"
[ "$pw x $ph + $px" = "1728 x 1080 + 96" ] || fail "the intro's picture at ${pw}x$ph+$px"
LEVEL=0 wait_for 30 lit 0 0 640 400
[ "$(screen_pixel 40 540)$(screen_pixel 1880 540)" = 000000000000 ] ||
    fail "the bands beside the intro's picture are not black"
echo "the intro shows full screen through the xdg shell, on top with the keyboard, scaled 5.4x"

key -k space
wait_for 30 gone "$intro"
wait_for 20 fullscreen_focused Tinselwave
place Tinselwave
LEVEL=5 wait_for 90 lit 15 70 390 220
audible() { [ -s "$work/audio.raw" ] && python3 "$here/loudness.py" "$work/audio.raw" 0.01; }
wait_for 60 audible
echo "a key cut the intro short; the menu plays, full screen with the keyboard"

# The list scrolls itself to the first tune, then rests; Down moves the cursor and the list.
list() { sum 15 70 360 220; }
settled() { local a; a=$(list); sleep 0.3; [ "$a" = "$(list)" ]; }
wait_for 20 settled
rest=$(list)
key -k Down -k Down
moved() { [ "$(list)" != "$rest" ]; }
wait_for 10 moved
key -k q
LEVEL=0 wait_for 20 lit 163 370 265 1
key -k q
LEVEL=0 wait_for 20 unlit 163 370 265 1
echo "Down moved the list, Q lit the meter and cleared it"

# The mouse, through the picture's 2.7x scale: a move of three screen pixels down (about one
# picture pixel) scrolls the list; a click plays the row under the pointer, the old tune fading
# out and the new one playing.
point() { "$build/vrk_wl_pointer" "$1" "$2" 1920 1080 ${3:+"$3"} || fail "no virtual pointer"; }
loud() { [ -s "$work/audio.raw" ] && python3 "$here/loudness.py" "$work/audio.raw" 0.02 0.5; }
restarted() { [ -e "$work/restarted" ]; }
point 960 540
wait_for 20 settled
rest=$(list)
point 960 543
wait_for 10 moved
wait_for 20 settled
watch_restart "$work/audio.raw" "$work/restarted" >/dev/null
point 960 543 click
wait_for 20 restarted
wait_for 20 loud
echo "the mouse scrolled the list, and a click switched the tune"

# Alt+Enter: a floating window of 1280 x 800 (twice the picture, the most that fits), with the
# desktop around it; again: full screen, the picture filling the height once more.
windowed() { [ "$(window Tinselwave | cut -d' ' -f3-5)" = "1280 800 0" ]; }
key -M alt -k Return -m alt
wait_for 20 windowed
place Tinselwave
LEVEL=5 wait_for 20 lit 15 70 390 220
[ "$(screen_pixel 1915 1075)" = 204060 ] || fail "no desktop beside the window"
echo "Alt+Enter: a window of $(field Tinselwave 3)x$(field Tinselwave 4) at" \
    "$(field Tinselwave 1),$(field Tinselwave 2), the picture at 2x"
key -M alt -k Return -m alt
wait_for 20 fullscreen_focused Tinselwave
place Tinselwave
LEVEL=5 wait_for 20 lit 15 70 390 220
black_bands() { [ "$(screen_pixel 40 540)$(screen_pixel 1880 540)" = 000000000000 ]; }
wait_for 10 black_bands
echo "Alt+Enter again: full screen, the picture 1728x1080 between black bands"

key -k Escape
LEVEL=2 wait_for 60 unlit 0 0 640 400
LEVEL=2 wait_for 60 lit 0 0 640 400
key -k Escape
expect_exit_0
echo "Escape, Escape: the end pictures, then exit 0"
