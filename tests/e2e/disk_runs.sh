#!/usr/bin/env bash
# The whole disk as a person sees it: start, fade in, first tune, leave the menu, end pictures
# with the end tune, leave them, exit 0. Run by with-display.sh from the build folder.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
play_from_scratch "$1"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
"$build/vrkdisk" >"$work/out.log" 2>&1 &
pid=$!
skip_intro


# The picture fades in: the menu window area becomes lit.
LEVEL=5 wait_for 60 bright 15 70 390 220
# The first tune plays: the disk driver's output holds sound.
audible() { [ -s "$work/audio.raw" ] && python3 "$here/loudness.py" "$work/audio.raw" 0.01; }
wait_for 60 audible

# The menu moves: the list follows the first tune, the band scrolls, the aurora changes.
before=$(region_sum 110 320 432 30)
changed() { [ "$(region_sum 110 320 432 30)" != "$before" ]; }
wait_for 20 changed

focus_player
watch_restart "$work/audio.raw" "$work/restarted" >/dev/null
xdotool key Escape
# The menu fades to black, then the end pictures fade in with the end tune: the device is
# opened anew for it, so the disk driver's file starts over and fills with sound again.
LEVEL=2 wait_for 60 dark 0 0 640 400
LEVEL=2 wait_for 60 bright 0 0 640 400
wait_for 30 test -e "$work/restarted"
wait_for 30 audible
xdotool key Escape
expect_exit_0
echo "disk ran: fade-in, tune, menu, end pictures with their tune, exit 0"
