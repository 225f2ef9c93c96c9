#!/usr/bin/env bash
# The disk built with a small collection of its own: its menu opens, the list moves with the
# wheel and the keys, a chosen tune plays, and the disk leaves with exit status 0. Run by
# with-display.sh from the build folder.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
. "$here/own_disk.sh"
play_from_scratch "$1"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
# The pointer rests before the menu opens: the menu scrolls by every move it sees.
xdotool mousemove 640 400
start_disk "$build/vrkdisk_small"

menu_shown() { [ -n "$(player_window)" ] && LEVEL=5 bright 15 70 390 220; }
skip_intro
wait_for 90 menu_shown
focus_player

loud() { [ -s audio.raw ] && python3 "$here/loudness.py" audio.raw 0.02 0.5; }
restarted() { [ -e "$work/restarted" ]; }
wait_for 60 loud
echo "the small disk's menu opened with its first tune"

# The list scrolls itself to the first tune and rests there.
list() { region_sum 15 70 360 220; }
settled() { local a; a=$(list); sleep 0.3; [ "$a" = "$(list)" ]; }
wait_for 20 settled
rest=$(list)
# The wheel moves it (two notches down, then back up).
xdotool click --repeat 2 --delay 100 5
moved() { [ "$(list)" != "$rest" ]; }
wait_for 10 moved
xdotool click --repeat 2 --delay 100 4
back() { [ "$(list)" = "$rest" ]; }
wait_for 10 back
echo "the wheel scrolls the list"

# Down a whole row slot (two presses) to the second tune, and play it.
xdotool key --delay 100 Down Down
wait_for 20 settled
watch_restart "$work/audio.raw" "$work/restarted" >/dev/null
xdotool key Return
wait_for 20 restarted
wait_for 20 loud
echo "a chosen tune plays"

# The end pictures follow; a key leaves them as soon as they show.
leave_disk
echo "the small disk left with exit status 0"
