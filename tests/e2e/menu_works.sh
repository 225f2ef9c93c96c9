#!/usr/bin/env bash
# The menu, driven as a person would: the mouse scrolls the list, a click plays the row under
# the cursor, L flips the random-play indicator and starts a random tune, Q lights the meter,
# and a scroll-text row replaces the band's text after its fade. Saves a screenshot of the live
# menu when a path is given. Run by with-display.sh from the build folder.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
screenshot=${2:+$(realpath -m "$2")} # the disk runs from elsewhere
play_from_scratch "$1"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
"$build/vrkdisk" >"$work/out.log" 2>&1 &
pid=$!
skip_intro

has_window() { [ -n "$(player_window)" ]; }
wait_for 30 has_window
focus_player
# Rest the pointer before the menu opens, so the menu's first look at it is this position.
xdotool mousemove 640 400
LEVEL=5 wait_for 60 bright 15 70 390 220

# A tune switch fades the output out, releases the device and opens it again for the new tune;
# the disk driver then starts its file anew. So a switch shows as the file starting over, and
# the new tune as sound in the new file.
loud() { [ -s audio.raw ] && python3 "$here/loudness.py" audio.raw 0.02 0.5; }
mark() { watch_restart "$work/audio.raw" "$work/restarted" >/dev/null; }
restarted() { [ -e "$work/restarted" ]; }
wait_for 60 loud

# The list scrolls itself to the first tune, then rests (the marker column left out).
list() { region_sum 15 70 360 220; }
settled() { local a; a=$(list); sleep 0.3; [ "$a" = "$(list)" ]; }
wait_for 20 settled
rest=$(list)

# One picture pixel down (two screen pixels) moves the list by 4 rows; 4 pixels by a slot.
xdotool mousemove 640 408
moved() { [ "$(list)" != "$rest" ]; }
wait_for 10 moved
echo "mouse scrolls the list"

# A click plays the row under the cursor: the old tune fades out, the new one plays.
wait_for 20 settled
mark
xdotool click 1
wait_for 20 restarted
wait_for 20 loud
echo "a click switched the tune"

# L: the indicator in the top-left corner changes, and a random tune starts.
wait_for 20 settled
indicator=$(region_sum 0 0 40 14)
mark
xdotool key l
flipped() { [ "$(region_sum 0 0 40 14)" != "$indicator" ]; }
wait_for 10 flipped
wait_for 20 restarted
wait_for 20 loud
echo "L flipped the indicator and started a random tune"
xdotool key l

# Q: the meter line lights while music plays, and goes dark when switched off.
xdotool key q
LEVEL=0 wait_for 20 bright 163 370 265 1
if [ -n "$screenshot" ]; then
    sleep 1
    import -window root png:- | convert - -sample 50% "$screenshot"
fi
xdotool key q
LEVEL=0 wait_for 20 dark 163 370 265 1
echo "Q lit the meter and cleared it"

# A scroll-text row: the band fades to its background, then the new text enters.
# Down to the bottom of the list (the row after the last), then one slot up: the last text.
xdotool key --repeat 160 --delay 5 Down
wait_for 20 settled
xdotool key --repeat 2 --delay 50 Up
wait_for 20 settled
xdotool key Return
band_text() { [ "$(brightness 140 320 372 30)" -gt "$empty" ]; }
band_empty() { [ "$(brightness 140 320 372 30)" -le "$empty" ]; }
empty=$(( $(brightness 140 320 372 30) / 3 ))
wait_for 20 band_empty
wait_for 20 band_text
echo "a scroll-text row replaced the band's text"

xdotool key Escape
expect_exit_0
